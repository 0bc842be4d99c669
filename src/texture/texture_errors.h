// Errors of the texture subsystem. Checks on the user's data report like the program's
// assertions ("Assertion (%s) failed in ..."), but raise an error that abandons the
// operation instead of ending the program.
#pragma once

#include <string>

#include "framework/XGError.h"

// Raises "Assertion Failure" with the expression's text, the source name and the line.
[[noreturn]] void texture_check_failed(const char* expression, const char* source, int line);

// A read or import that cannot go on: "File Read Error" with the sentence as message.
[[noreturn]] void texture_read_error(const std::string& sentence);
