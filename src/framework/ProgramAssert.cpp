#include "framework/ProgramAssert.h"

#include <cstdio>
#include <cstdlib>

namespace {

void DefaultHandler(const ProgramAssertion& a)
{
    std::fputs(a.message.c_str(), stderr);
    std::fflush(stderr);
    std::abort();
}

ProgramAssertHandler gProgramAssertHandler = DefaultHandler;

} // namespace

ProgramAssertHandler SetProgramAssertHandler(ProgramAssertHandler handler)
{
    ProgramAssertHandler old = gProgramAssertHandler;
    gProgramAssertHandler = handler ? handler : DefaultHandler;
    return old;
}

void ProgramAssertFailed(const char* expression, const char* source, int line)
{
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, "Assertion (%s) failed in \"%s\" on line %d\n", expression, source,
                  line);
    gProgramAssertHandler({buffer, expression, source, line});
    std::abort();
}
