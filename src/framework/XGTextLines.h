// Walks a text line by line, without the line ends ("\n" or "\r\n"), counting from 1.
#pragma once

#include <string_view>

class XGTextLines {
public:
    explicit XGTextLines(std::string_view text) : fText(text) {}

    // The next line; false after the last.
    bool Next(std::string_view& line)
    {
        if (fPos > fText.size()) return false;
        size_t eol = fText.find('\n', fPos);
        if (eol == std::string_view::npos) eol = fText.size();
        line = fText.substr(fPos, eol - fPos);
        fPos = eol + 1;
        ++fNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return true;
    }
    int Number() const { return fNumber; }

private:
    std::string_view fText;
    size_t fPos = 0;
    int fNumber = 0;
};
