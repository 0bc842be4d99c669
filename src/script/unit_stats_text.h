// The statistics text that create_monster_stats writes and replace_monster_stats reads:
// one tab-separated line per value record.
#pragma once

#include <string>

#include "script/flag_names.h"
#include "script/unit_stats.h"
#include "tags/tag_code.h"

extern const char* const UNIT_STATS_TEXT_HEAD;

// "mons", the id, the 27 fields, the movement modifiers and the flags.
std::string monster_stats_line(tag_code id, const monster_stats& s);
// "attk", the monster's id, the attack's number, its fields and flags.
std::string attack_stats_line(tag_code monster_id, int number, const attack_stats& s);
std::string object_stats_line(tag_code id, const object_stats& s);
std::string projectile_stats_line(tag_code id, const projectile_stats& s);

// The names of the rows that share a bit with word, each followed by a space; a name
// with spaces in it is quoted so that it reads back.
std::string flag_name_text(flag_names names, uint32_t word);
