#include "script/script_line.h"

bool TScriptLine::Read(std::string& token, bool required)
{
    if (fEnded) return false;
    if (fReader.next_script_token(token, false)) return true;
    fEnded = true;
    if (fReader.last_fault() == TScriptReader::kTooLong) fail("a token is longer than 1024 characters");
    // A required value reports itself as missing.
    if (fReader.last_fault() == TScriptReader::kOpenQuote && !required)
        fail("a quoted token is not closed on its line");
    return false;
}

bool TScriptLine::next(std::string& token)
{
    return Read(token, false);
}

std::string TScriptLine::required(const char* message)
{
    std::string token;
    if (!Read(token, true)) fail(message);
    return token;
}

std::string TScriptLine::field(const char* name)
{
    std::string token;
    if (!Read(token, true)) fail(field_message(name, "parameter was expected, none found"));
    return token;
}

void TScriptLine::expect_end(const std::string& message)
{
    std::string token;
    if (next(token)) fail(message);
}

void TScriptLine::fail(const std::string& message) const
{
    throw quenchold_script_exception{fLine, message};
}

std::string field_message(const char* name, const char* what)
{
    return std::string("(") + name + ") " + what;
}
