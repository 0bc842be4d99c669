// A parse error of a script: the line it is on (-1 for the script as a whole) and
// the message.
#pragma once

#include <cstdint>
#include <string>

struct quenchold_script_exception {
    int32_t line;
    std::string message;
};
