// The program's own consistency checks. A failed check formats
// "Assertion (%s) failed in \"%s\" on line %d\n" and hands it to the installed handler:
// the editor shows it and ends, the command-line tool prints it and exits,
// tests turn it into an exception.
#pragma once

#include <string>

struct ProgramAssertion {
    std::string message;
    const char* expression;
    const char* source;
    int line;
};

using ProgramAssertHandler = void (*)(const ProgramAssertion&);

// Installs a handler and returns the previous one. The handler must not return;
// if it does, the process aborts.
ProgramAssertHandler SetProgramAssertHandler(ProgramAssertHandler handler);

[[noreturn]] void ProgramAssertFailed(const char* expression, const char* source, int line);

#define PROGRAM_ASSERT(expr, source) \
    ((expr) ? (void)0 : ProgramAssertFailed(#expr, source, __LINE__))
