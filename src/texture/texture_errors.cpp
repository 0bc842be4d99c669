#include "texture/texture_errors.h"

#include <cstdio>

void texture_check_failed(const char* expression, const char* source, int line)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "Assertion (%s) failed in \"%s\" on line %d\n", expression, source, line);
    throw XGError(kXGError, "Assertion Failure", buffer, kXGAssertionFailure);
}

void texture_read_error(const std::string& sentence)
{
    throw XGError(kXGError, "File Read Error", sentence, kXGFileReadError);
}
