// The text of a script file and its tokenizer. Separators are control characters,
// blanks and bytes 0x7F to 0xFF; "//" between tokens starts a comment that runs to the
// end of the line, while a single '/' begins a token (an absolute path); a token in
// double quotes may hold blanks and "//".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TScriptReader {
public:
    // Why the last call of next_script_token found no token.
    enum fault {
        kNoFault,     // the line or the text ended
        kTooLong,     // a token of more than 1024 characters
        kOpenQuote,   // a quoted token not closed on its line
    };

    // Reads the file as text (CR LF pairs become one newline). False when it cannot be
    // opened or read, or is empty.
    bool load(const std::string& path);
    void load_text(std::string_view text);
    // Forgets the text; the line number starts again at 1.
    void release();
    bool loaded() const { return fLoaded; }

    // The next token into token. Crossing lines or not: without may_cross_lines a newline
    // ends the search (it is consumed) and the call returns false. out_line, when given,
    // receives the line the token is on.
    bool next_script_token(std::string& token, bool may_cross_lines, int32_t* out_line = nullptr);
    fault last_fault() const { return fFault; }
    int32_t line() const { return fLine; }

private:
    bool ReadQuoted(std::string& token);
    bool ReadPlain(std::string& token);

    std::vector<char> fText;
    size_t fPosition = 0;
    size_t fEnd = 0;
    bool fAtEnd = false;
    bool fLoaded = false;
    int32_t fLine = 1;
    fault fFault = kNoFault;
};
