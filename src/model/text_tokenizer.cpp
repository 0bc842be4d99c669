#include "model/text_tokenizer.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "model/skmd_format.h"

namespace {

bool IsSeparator(unsigned char c)
{
    return c < 33 || c == 127;
}

} // namespace

void TTextTokenizer::SkipBlanks()
{
    for (;;) {
        while (fPos < fText.size() && IsSeparator((unsigned char)fText[fPos])) {
            if (fText[fPos] == '\n') ++fLine;
            ++fPos;
        }
        if (fPos + 1 < fText.size() && fText[fPos] == '/' && fText[fPos + 1] == '/') {
            while (fPos < fText.size() && fText[fPos] != '\n') ++fPos;
            continue;
        }
        return;
    }
}

bool TTextTokenizer::Next(std::string& token)
{
    SkipBlanks();
    if (fPos >= fText.size()) return false;
    size_t start = fPos;
    if (fText[fPos] == '"') {
        ++start;
        ++fPos;
        while (fPos < fText.size() && fText[fPos] != '"' && fText[fPos] != '\n') ++fPos;
        if (fPos >= fText.size() || fText[fPos] != '"')
            model_read_error("line " + std::to_string(fLine) + ": a quoted text does not end on its line.");
        token.assign(fText.substr(start, fPos - start));
        ++fPos;
    } else {
        while (fPos < fText.size() && !IsSeparator((unsigned char)fText[fPos])) ++fPos;
        token.assign(fText.substr(start, fPos - start));
    }
    if (token.size() > MAXIMUM_TEXT_TOKEN)
        model_read_error("line " + std::to_string(fLine) + ": a word longer than " +
                         std::to_string(MAXIMUM_TEXT_TOKEN) + " characters.");
    return true;
}

bool TTextTokenizer::Find(std::string_view keyword)
{
    std::string token;
    while (Next(token))
        if (token == keyword) return true;
    return false;
}

bool TTextTokenizer::Integer(long& value)
{
    std::string token;
    if (!Next(token)) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(token.c_str(), &end, 10);
    return end != token.c_str() && errno != ERANGE;
}

bool TTextTokenizer::Real(double& value)
{
    std::string token;
    if (!Next(token)) return false;
    char* end = nullptr;
    value = std::strtod(token.c_str(), &end);
    return end != token.c_str() && std::isfinite(value);
}
