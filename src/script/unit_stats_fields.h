// The numeric fields of the statistics records: their names, units and text precision,
// in the order a statistics line gives them. Flags and enumerations are not listed.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "script/script_line.h"

enum class stat_unit : uint8_t {
    integer,        // signed 16-bit, "%d"
    fraction16,     // raw / 65535
    fixed8,         // raw / 256
    world_distance, // raw / 512
    rate,           // angle16 per tick, shown in degrees per second
    ticks,          // 1/30 second, shown in seconds with "%f"
};

struct stat_field {
    const char* name;
    stat_unit unit;
    int8_t digits;  // for format_trimmed
    uint8_t offset; // in the record
    int16_t lower;  // offset of the range's lower bound when the field is its delta, else -1
};

using stat_fields = std::span<const stat_field>;

extern const stat_fields monster_stat_fields;      // fields 2 to 27
extern const stat_fields attack_stat_fields;       // the eleven after attack_index
extern const stat_fields object_stat_fields;
extern const stat_fields projectile_stat_fields_1; // before the group A flags
extern const stat_fields projectile_stat_fields_2; // the inertia range, random_initial_velocity
extern const stat_fields projectile_stat_fields_3; // tracking_priority, guided_turning_speed
extern const stat_fields projectile_stat_fields_4; // after damage_type

// The stored value of a field, widened (unsigned units read unsigned).
int32_t stat_raw(const void* record, const stat_field& f);
// The field's text: a range delta shows the range's upper bound.
std::string stat_text(const void* record, const stat_field& f);
// Reads the field's text from the line into the record; a delta field needs its lower
// bound already read. Raises the field's parse error.
void read_stat(TScriptLine& line, void* record, const stat_field& f);

// Numbers of the text. A decimal must be the whole token and is kept in single precision;
// an integer is the digits after an optional sign up to the first other character, so
// that 12.5 reads 12 and -7.9 reads -7. The field's next token, or a token already read.
double read_decimal(TScriptLine& line, const char* name);
int64_t read_integer(TScriptLine& line, const char* name);
double decimal_value(TScriptLine& line, const char* name, const std::string& token);
int64_t integer_value(TScriptLine& line, const char* name, const std::string& token);
bool parse_decimal(const std::string& token, double& value);
bool parse_integer(const std::string& token, int64_t& value);
