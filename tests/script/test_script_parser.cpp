#include "script_test_support.h"

namespace {

using Parser = ScriptTest;

std::vector<std::string> Strings(const script_entry& e)
{
    return e.strings;
}

} // namespace

TEST_F(Parser, NamesIgnoreCaseAndEachKeywordLineIsOneEntry)
{
    const script_definition& d = Parsed("BUILD_MONOLITHIC out.tag\nFile a.tag b.tag\n\n  fILE c.tag\n");
    EXPECT_EQ(d.command, _build_monolithic);
    EXPECT_EQ(d.destination, "out.tag");
    ASSERT_EQ(d.entry_count(), 2);
    EXPECT_EQ(d.entries[0].line, 2);
    EXPECT_EQ(d.entries[0].keyword, _file_parameter);
    EXPECT_EQ(Strings(d.entries[0]), (std::vector<std::string>{"a.tag", "b.tag"}));
    EXPECT_EQ(d.entries[0].string_count, 2);
    EXPECT_EQ(d.entries[1].line, 4);
    EXPECT_EQ(d.entries[1].string_count, 1);
    EXPECT_EQ(d.capacity, SCRIPT_ENTRY_GROWTH);
}

TEST_F(Parser, KeywordsOfOneLineFillOneEntry)
{
    const script_definition& d = Parsed("export_text\r\ntype stli tag abcd out.txt\r\ntype text\r\ntag efgh a b\r\n");
    ASSERT_EQ(d.entry_count(), 3);
    const script_entry& e = d.entries[0];
    EXPECT_EQ(e.line, 2);
    EXPECT_EQ(e.keyword, _tag_parameter);
    EXPECT_EQ(e.type, code("stli"));
    EXPECT_EQ(e.tag, code("abcd"));
    // An odd string is stored but not counted.
    EXPECT_EQ(e.string(0), "out.txt");
    EXPECT_EQ(e.string_count, 0);
    EXPECT_EQ(d.entries[1].type, code("text"));
    EXPECT_EQ(d.entries[2].line, 4);
    EXPECT_EQ(d.entries[2].string_count, 2);
}

TEST_F(Parser, CommentsQuotesAndSeparators)
{
    const script_definition& d = Parsed("// head comment\n"
                                        "dump_names // the command\n"
                                        "file \"two words//x.txt\" a/b.txt /c.txt // the end\n"
                                        "file one\x80two\xFFthree\x7F" "four\n"
                                        "// type soun file x\n"
                                        "type \"a b \"\n");
    ASSERT_EQ(d.entry_count(), 3);
    EXPECT_EQ(Strings(d.entries[0]), (std::vector<std::string>{"two words//x.txt", "a/b.txt", "/c.txt"}));
    EXPECT_EQ(Strings(d.entries[1]), (std::vector<std::string>{"one", "two", "three", "four"}));
    EXPECT_EQ(d.entries[2].line, 6);
    EXPECT_EQ(d.entries[2].type, code("a b "));
}

TEST_F(Parser, ACodeOfUnderscoresMeansNone)
{
    const script_definition& d = Parsed("export_raw\ntype ____ tag \"a\x01" "bc\" out\n");
    EXPECT_EQ(d.entries[0].type, NONE_TAG);
    EXPECT_EQ(d.entries[0].tag, code("a_bc"));
}

TEST_F(Parser, HeaderErrorsHaveNoLine)
{
    EXPECT_EQ(ErrorOf("// nothing here\n  \t\n// at all"), "Line -1: empty script");
    EXPECT_EQ(ErrorOf("build_monolithic\nfile a.tag"), "Line -1: build_monolithic has no destination");
    EXPECT_EQ(ErrorOf("IMPORT_TEXT // out.tag"), "Line -1: import_text has no destination");
    EXPECT_EQ(ErrorOf("make_everything out.tag"), "Line -1: does not appear to be a quenchold script");
    EXPECT_FALSE(script.load_script(folder / "missing.QSF"));
    EXPECT_EQ(script.error_text(), "Line -1: script load failed");
    write_text(folder / "empty.QSF", "");
    EXPECT_FALSE(script.load_script(folder / "empty.QSF"));
    EXPECT_EQ(script.error_text(), "Line -1: script load failed");
}

// Unknown words, parameters the command does not take, bad codes and open quotes.
TEST_F(Parser, KeywordErrorsGiveTheirLine)
{
    const std::pair<const char*, const char*> cases[] = {
        {"replace_sounds\ntag abcd x.wav 0\nfile a.tag", "Line 3: the script type does not support the file parameter"},
        {"dump_names\ntag abcd", "Line 2: the script type does not support the tag parameter"},
        {"export_raw\n\ntype mon tag abcd x", "Line 3: the type code is not the correct size"},
        {"export_raw\ntype\nstli", "Line 2: 4 character type code expected, none found"},
        {"export_raw\ntype stli tag abcde x", "Line 2: the tag code is not the correct size"},
        {"export_raw\ntype stli tag", "Line 2: 4 character tag code expected, none found"},
        {"dump_names\nfile // none", "Line 2: no parameters found"},
        {"dump_names\ntype stli\nsoun x", "Line 3: the script type does not support the soun parameter"},
        {"export_raw\ntype stli tag abcd out\nexport soun abcd", "Line 3: unknown keyword export"},
        {"export_text stray", "Line 1: unknown keyword stray"},
        {"dump_names\ntype stli extra", "Line 2: unknown keyword extra"},
        {"export_raw\ntype \"stli\ntag abcd", "Line 2: 4 character type code expected, none found"},
        {"dump_names\nfile a \"b c\ntype stli", "Line 2: a quoted token is not closed on its line"},
        {"dump_names\nfile a\n\"type", "Line 3: a quoted token is not closed on its line"},
    };
    for (const auto& [text, error] : cases) EXPECT_EQ(ErrorOf(text), error) << text;
}

TEST_F(Parser, HeaderAloneGivesOneEmptyEntry)
{
    const script_definition& d = Parsed("replace_sounds");
    ASSERT_EQ(d.entry_count(), 1);
    EXPECT_EQ(d.entries[0].keyword, _no_script_parameter);
    EXPECT_TRUE(d.entries[0].strings.empty());
}

TEST_F(Parser, StringsAndTokensBeyondTheirSlotsAreRefused)
{
    std::string s255(255, 's'), s256(256, 's'), t1024(1024, 't');
    EXPECT_EQ(Parsed("dump_names\nfile " + s255).entries[0].string(0), s255);
    EXPECT_EQ(ErrorOf("dump_names\nfile " + s256), "Line 2: a parameter is longer than 255 characters");
    EXPECT_EQ(ErrorOf("replace_sounds\ntag abcd a " + s256), "Line 2: a parameter is longer than 255 characters");
    EXPECT_EQ(ErrorOf("dump_names\nfile a\nfile \"" + t1024 + "u\""), "Line 3: a token is longer than 1024 characters");
    EXPECT_EQ(ErrorOf("dump_names\n" + t1024 + "u"), "Line 2: a token is longer than 1024 characters");
    EXPECT_EQ(Parsed("build_monolithic " + s255).destination, s255);
    EXPECT_EQ(ErrorOf("build_monolithic " + s256), "Line 1: the destination is longer than 255 characters");

    std::string files = "dump_names\nfile";
    for (int i = 0; i < 32; ++i) files += " f" + std::to_string(i);
    EXPECT_EQ(Parsed(files).entries[0].string_count, 32);
    EXPECT_EQ(ErrorOf(files + " one_more"), "Line 2: too many parameters, a line holds at most 32");
}

TEST_F(Parser, AtMost16385KeywordLines)
{
    std::string text = "dump_names\n";
    for (int i = 0; i < 16385; ++i) text += "file a\n";
    const script_definition& d = Parsed(text);
    EXPECT_EQ(d.entry_count(), 16385);
    EXPECT_EQ(d.entries[16384].line, 16386);
    EXPECT_EQ(ErrorOf(text + "file b\n"), "Line 16387: too many lines, a script holds at most 16385");
}

TEST_F(Parser, AFailedLoadReportsAndForgetsTheEarlierScript)
{
    std::vector<std::string> alerts;
    script.set_alert_handler([&](const std::string& message, const std::string& explanation, const std::string& caption) {
        alerts.push_back(message + "|" + explanation + "|" + caption);
    });
    Parsed("dump_names\ntype stli file a");
    EXPECT_FALSE(Parse("dump_names\ntype stli file a\ntype mon"));
    EXPECT_EQ(script.definition(), nullptr);
    EXPECT_EQ(alerts, (std::vector<std::string>{"Script Error|Line 3: the type code is not the correct size|Quenchold Scripting"}));
    EXPECT_FALSE(script.run_script(store));
}
