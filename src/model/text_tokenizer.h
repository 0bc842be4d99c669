// The text tokenizer of the scene and interface exports: blanks are characters below
// 33, "//" comments run to the end of the line, a token is a run of characters from
// 33 up (127 excepted) or a text in double quotes on one line.
#pragma once

#include <string>
#include <string_view>

constexpr size_t MAXIMUM_TEXT_TOKEN = 1024;

class TTextTokenizer {
public:
    explicit TTextTokenizer(std::string_view text) : fText(text) {}

    // The next token (a quoted text without its quotes); false at the end of the text.
    // Raises File Read Error for a token longer than 1024 characters or an unclosed quote.
    bool Next(std::string& token);
    // Reads tokens until one equals keyword; false when the text ends first.
    bool Find(std::string_view keyword);
    // The next token as a decimal number; false when there is none or it is no number.
    bool Integer(long& value);
    bool Real(double& value);

    int Line() const { return fLine; }

private:
    void SkipBlanks();

    std::string_view fText;
    size_t fPos = 0;
    int fLine = 1;
};
