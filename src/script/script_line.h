// The tokens of one script line after its keyword. The line ends at its first failed
// read: the tokenizer consumes the newline it stops at, so nothing after that failure
// may be taken from the next line.
#pragma once

#include <cstdint>
#include <string>

#include "script/script_exception.h"
#include "script/script_reader.h"

class TScriptLine {
public:
    TScriptLine(TScriptReader& reader, int32_t line) : fReader(reader), fLine(line) {}

    int32_t line() const { return fLine; }
    // The next token of an optional list; false at the end of the line.
    bool next(std::string& token);
    // The next token, or the parse error message when the line has none.
    std::string required(const char* message);
    // The next token of a field: "(field) parameter was expected, none found" when missing.
    std::string field(const char* name);
    // Refuses anything left on the line.
    void expect_end(const std::string& message);

    [[noreturn]] void fail(const std::string& message) const;

private:
    bool Read(std::string& token, bool required);

    TScriptReader& fReader;
    int32_t fLine;
    bool fEnded = false;
};

// "(name) " followed by what went wrong with the field.
std::string field_message(const char* name, const char* what);
