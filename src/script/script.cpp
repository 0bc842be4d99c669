#include "script/script.h"

#include <new>

#include "framework/XGFileSpecifier.h"
#include "script/script_line.h"
#include "script/script_tables.h"
#include "script/unit_stats_reader.h"

namespace {

constexpr const char* kTooManyStrings = "too many parameters, a line holds at most 32";

[[noreturn]] void Fail(int32_t line, std::string message)
{
    throw quenchold_script_exception{line, std::move(message)};
}

std::string CheckedString(TScriptLine& line, std::string token)
{
    if (token.size() > MAXIMUM_SCRIPT_STRING_LENGTH) line.fail("a parameter is longer than 255 characters");
    return token;
}

tag_code ReadTagCode(TScriptLine& line)
{
    std::string token = line.required("4 character tag code expected, none found");
    if (token.size() != 4) line.fail("the tag code is not the correct size");
    return text_to_tag_code(token);
}

} // namespace

const std::string& script_entry::string(size_t k) const
{
    static const std::string none;
    return k < strings.size() ? strings[k] : none;
}

std::string script_definition::source_name() const
{
    return source.empty() ? std::string() : XGFileSpecifier(source).GetName();
}

TScript::TScript() = default;
TScript::~TScript() = default;

bool TScript::load_script(const std::string& path)
{
    free_script();
    try {
        if (!fReader.load(path)) Fail(-1, "script load failed");
        fScript = std::make_unique<script_definition>();
        fScript->source = path;
        Parse();
        fReader.release();
        return true;
    } catch (const quenchold_script_exception& e) {
        fError = e;
    } catch (const std::bad_alloc&) {
        fError = {-1, "memory allocation failed"};
    }
    free_script();
    if (fAlert) fAlert(SCRIPT_ERROR_MESSAGE, error_text(), SCRIPT_ERROR_CAPTION);
    return false;
}

void TScript::free_script()
{
    fScript.reset();
    fReader.release();
}

std::string TScript::error_text() const
{
    return "Line " + std::to_string(fError.line) + ": " + fError.message;
}

void TScript::Parse()
{
    std::string token;
    ReadHeader(token);
    const script_command_row& command = find_script_command(token);
    script_definition& d = *fScript;
    d.command = command.code;
    if (command.has_destination) {
        int32_t line = -1;
        if (!fReader.next_script_token(token, false, &line)) {
            if (fReader.last_fault() == TScriptReader::kTooLong) Fail(line, "the destination is longer than 1024 characters");
            Fail(-1, std::string(command.name) + " has no destination");
        }
        if (token.size() > MAXIMUM_SCRIPT_STRING_LENGTH) Fail(line, "the destination is longer than 255 characters");
        d.destination = token;
    }
    if (command.code == _no_script_command) Fail(-1, "does not appear to be a quenchold script");

    d.last_index = 0;
    bool have_previous = false;
    int32_t previous = 0;
    int32_t line = 0;
    while (d.last_index < MAXIMUM_SCRIPT_LAST_INDEX && NextKeyword(token, line)) {
        if (have_previous && line != previous) ++d.last_index;
        have_previous = true;
        previous = line;
        if (d.last_index == d.capacity) Grow();
        script_entry& e = d.entries[size_t(d.last_index)];
        e.line = line;
        const script_parameter_row& keyword = find_script_parameter(token);
        if (keyword.code == _no_script_parameter) Fail(line, "unknown keyword " + token);
        e.keyword = keyword.code;
        Dispatch(e, command.allowed_parameters);
    }
    if (d.last_index >= MAXIMUM_SCRIPT_LAST_INDEX && NextKeyword(token, line))
        Fail(line, "too many lines, a script holds at most 16385");
    d.last_index += 1;
    if (d.capacity == 0) Grow(); // a header alone still gives one empty entry
}

void TScript::ReadHeader(std::string& token)
{
    int32_t line = -1;
    if (NextKeyword(token, line)) return;
    Fail(-1, "empty script");
}

// The next token wherever it is; a token that cannot be read is an error of its line.
bool TScript::NextKeyword(std::string& token, int32_t& line)
{
    if (fReader.next_script_token(token, true, &line)) return true;
    if (fReader.last_fault() == TScriptReader::kTooLong) Fail(line, "a token is longer than 1024 characters");
    if (fReader.last_fault() == TScriptReader::kOpenQuote) Fail(line, "a quoted token is not closed on its line");
    return false;
}

void TScript::Grow()
{
    script_definition& d = *fScript;
    d.capacity += SCRIPT_ENTRY_GROWTH;
    d.entries.resize(size_t(d.capacity));
}

void TScript::Dispatch(script_entry& e, uint32_t allowed)
{
    if (e.keyword < _file_parameter || e.keyword > _soun_parameter) Fail(-1, "internal scripting error");
    if (!(allowed & (1u << e.keyword)))
        Fail(e.line, std::string("the script type does not support the ") + script_parameter_name(e.keyword) +
                         " parameter");
    TScriptLine line(fReader, e.line);
    switch (e.keyword) {
    case _file_parameter:
        ParseFile(line, e);
        break;
    case _type_parameter:
        ParseType(line, e);
        break;
    case _tag_parameter:
        ParseTag(line, e);
        break;
    default:
        ParseValues(line, e);
        break;
    }
}

void TScript::ParseFile(TScriptLine& line, script_entry& e)
{
    e.strings.clear();
    std::string token;
    while (e.strings.size() < MAXIMUM_SCRIPT_STRINGS && line.next(token))
        e.strings.push_back(CheckedString(line, std::move(token)));
    if (e.strings.empty()) line.fail("no parameters found");
    line.expect_end(kTooManyStrings);
    e.string_count = int32_t(e.strings.size());
}

void TScript::ParseType(TScriptLine& line, script_entry& e)
{
    std::string token = line.required("4 character type code expected, none found");
    if (token.size() != 4) line.fail("the type code is not the correct size");
    e.type = text_to_tag_code(token);
}

// The tag, then strings in pairs; a string without its partner is kept but not counted.
void TScript::ParseTag(TScriptLine& line, script_entry& e)
{
    e.tag = ReadTagCode(line);
    e.strings.clear();
    int32_t pairs = 0;
    std::string token;
    while (pairs < MAXIMUM_SCRIPT_STRING_PAIRS && line.next(token)) {
        e.strings.push_back(CheckedString(line, std::move(token)));
        if (!line.next(token)) break;
        e.strings.push_back(CheckedString(line, std::move(token)));
        ++pairs;
    }
    if (pairs == MAXIMUM_SCRIPT_STRING_PAIRS) line.expect_end(kTooManyStrings);
    e.string_count = 2 * pairs;
}

void TScript::ParseValues(TScriptLine& line, script_entry& e)
{
    e.type = text_to_tag_code(script_parameter_name(e.keyword));
    if (e.keyword == _soun_parameter) {
        read_sound_creation_record(line, e.value.soun);
        e.tag = e.value.soun.tag;
        return;
    }
    e.tag = ReadTagCode(line);
    if (e.keyword == _mons_parameter) read_monster_stats(line, e.value.mons);
    else if (e.keyword == _attk_parameter) read_attack_stats(line, e.value.attk);
    else if (e.keyword == _obje_parameter) read_object_stats(line, e.value.obje);
    else read_projectile_stats(line, e.value.proj);
}
