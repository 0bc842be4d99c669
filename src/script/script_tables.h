// The command and keyword tables of batch scripts, matched without regard to case.
#pragma once

#include <cstdint>
#include <string_view>

#include "script/script_definition.h"

struct script_command_row {
    int32_t code; // 0 ends the table
    const char* name;
    uint32_t allowed_parameters; // bit (1 << keyword code) for each keyword the command takes
    bool has_destination;
};

struct script_parameter_row {
    int32_t code; // 0 ends the table
    const char* name;
};

extern const script_command_row script_command_table[];
extern const script_parameter_row script_parameter_table[];

// ASCII letters folded to lower case, every other byte unchanged.
bool script_names_match(std::string_view a, std::string_view b);

// The row of a command name or keyword; the table's end row (code 0) when there is none.
const script_command_row& find_script_command(std::string_view name);
const script_parameter_row& find_script_parameter(std::string_view name);
// The row of a code; the end row when there is none.
const script_command_row& script_command_for(int32_t code);
const char* script_parameter_name(int32_t code);
