// A parsed batch script: its command, its destination and one entry per script line
// that holds a keyword.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script/unit_stats.h"
#include "sound/sound_creation_record.h"
#include "tags/tag_code.h"

constexpr int MAXIMUM_SCRIPT_TOKEN_LENGTH = 1024;
constexpr int MAXIMUM_SCRIPT_STRING_LENGTH = 255; // a string slot or the destination
constexpr int MAXIMUM_SCRIPT_STRINGS = 32;
constexpr int MAXIMUM_SCRIPT_STRING_PAIRS = 16;
constexpr int SCRIPT_ENTRY_GROWTH = 64;
constexpr int MAXIMUM_SCRIPT_LAST_INDEX = 16384; // so at most 16385 entries
constexpr int SCRIPT_VALUE_RECORD_SIZE = 100;

enum script_command : int32_t {
    _no_script_command = 0,
    _build_monolithic = 1,
    _export_raw = 2,
    _create_sounds = 3,
    _replace_sounds = 4,
    _replace_models = 5,
    _replace_monster_stats = 6,
    _create_monster_stats = 7,
    _export_text = 8,
    _import_text = 9,
    _dump_names = 10,
};

enum script_parameter : int32_t {
    _no_script_parameter = 0,
    _file_parameter = 1,
    _type_parameter = 2,
    _tag_parameter = 3,
    _mons_parameter = 4,
    _attk_parameter = 5,
    _obje_parameter = 6,
    _proj_parameter = 7,
    _soun_parameter = 8,
};

// One of these, chosen by the entry's keyword.
union script_value_record {
    monster_stats mons;
    attack_stats attk;
    object_stats obje;
    projectile_stats proj;
    sound_creation_record soun;
    uint8_t bytes[SCRIPT_VALUE_RECORD_SIZE];
};
static_assert(sizeof(script_value_record) == SCRIPT_VALUE_RECORD_SIZE);

struct script_entry {
    int32_t line = 0;
    int32_t keyword = _no_script_parameter; // the last keyword read on the line
    int32_t string_count = 0;               // may count fewer than are stored
    tag_code type = 0;
    tag_code tag = 0;
    std::vector<std::string> strings; // at most 32 of at most 255 characters
    script_value_record value{};

    // String k as stored, empty when there is none.
    const std::string& string(size_t k) const;
};

struct script_definition {
    std::string source; // the script file's path
    int32_t command = _no_script_command;
    std::string destination;
    int32_t capacity = 0;   // entry slots allocated
    int32_t last_index = 0; // the entry being filled; the entry count once parsed
    std::vector<script_entry> entries;

    // The script file's name, as the log shows it.
    std::string source_name() const;
    int32_t entry_count() const { return last_index; }
};
