#include "script/script_log.h"

#include <cstdarg>

TScriptLog::TScriptLog(const std::string& path) : fFile(std::fopen(path.c_str(), "a"))
{
}

TScriptLog::~TScriptLog()
{
    if (fFile) std::fclose(fFile);
}

void TScriptLog::printf(const char* format, ...)
{
    if (!fFile) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(fFile, format, args);
    va_end(args);
}
