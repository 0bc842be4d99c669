#include "script/script_reader.h"

#include "framework/XGFile.h"

namespace {

constexpr size_t kMaximumToken = 1024;

bool IsSeparator(char c)
{
    return static_cast<signed char>(c) < 33 || c == 0x7F;
}

bool IsTokenCharacter(char c)
{
    return c >= 33 && c <= 126;
}

} // namespace

bool TScriptReader::load(const std::string& path)
{
    release();
    std::vector<char> bytes;
    try {
        XGFile file(path);
        if (!file.TryOpen(XGFile::kRead)) return false;
        uint64_t length = file.GetLength();
        if (length == 0 || length > uint64_t(SIZE_MAX / 2)) return false;
        bytes.resize(size_t(length));
        if (file.ReadSome(0, bytes.data(), bytes.size()) != bytes.size()) return false;
    } catch (...) {
        return false;
    }
    load_text(std::string_view(bytes.data(), bytes.size()));
    return true;
}

void TScriptReader::load_text(std::string_view text)
{
    release();
    fText.resize(text.size());
    size_t n = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') fText[n++] = text[i];
    fText.resize(n);
    fEnd = n;
    fLoaded = true;
}

void TScriptReader::release()
{
    fText.clear();
    fText.shrink_to_fit();
    fPosition = fEnd = 0;
    fAtEnd = false;
    fLoaded = false;
    fLine = 1;
    fFault = kNoFault;
}

bool TScriptReader::next_script_token(std::string& token, bool may_cross_lines, int32_t* out_line)
{
    fFault = kNoFault;
    token.clear();
    if (!fLoaded || fAtEnd) return false;
    for (;;) {
        if (fPosition >= fEnd) {
            fAtEnd = true;
            return false;
        }
        char c = fText[fPosition];
        if (c == '\n') {
            ++fLine;
            ++fPosition;
            if (!may_cross_lines) return false;
        } else if (c == '/' && fPosition + 1 < fEnd && fText[fPosition + 1] == '/') {
            while (fPosition < fEnd && fText[fPosition] != '\n') ++fPosition;
        } else if (IsSeparator(c)) {
            ++fPosition;
        } else {
            break;
        }
    }
    if (out_line) *out_line = fLine;
    bool found = fText[fPosition] == '"' ? ReadQuoted(token) : ReadPlain(token);
    if (fPosition >= fEnd) fAtEnd = true;
    return found;
}

bool TScriptReader::ReadQuoted(std::string& token)
{
    size_t start = ++fPosition;
    for (; fPosition < fEnd; ++fPosition) {
        char c = fText[fPosition];
        if (c == '"') break;
        if (c == '\n') {
            fFault = kOpenQuote; // the newline stays for the next read to count
            return false;
        }
    }
    if (fPosition >= fEnd) {
        fFault = kOpenQuote;
        return false;
    }
    if (fPosition - start > kMaximumToken) {
        fFault = kTooLong;
        ++fPosition;
        return false;
    }
    token.assign(&fText[start], fPosition - start);
    ++fPosition;
    return true;
}

bool TScriptReader::ReadPlain(std::string& token)
{
    size_t start = fPosition;
    while (fPosition < fEnd && IsTokenCharacter(fText[fPosition])) ++fPosition;
    if (fPosition - start > kMaximumToken) {
        fFault = kTooLong;
        return false;
    }
    token.assign(&fText[start], fPosition - start);
    return true;
}
