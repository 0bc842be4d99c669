// The log of a script run, appended to a text file. When the file cannot be opened the
// run goes on without one.
#pragma once

#include <cstdio>
#include <string>

class TScriptLog {
public:
    explicit TScriptLog(const std::string& path);
    ~TScriptLog();
    TScriptLog(const TScriptLog&) = delete;
    TScriptLog& operator=(const TScriptLog&) = delete;

    bool is_open() const { return fFile != nullptr; }
    void printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    std::FILE* fFile;
};
