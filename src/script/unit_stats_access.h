// The statistics records of monster (with their attacks), object and projectile tags.
// A getter reads the tag's definition and copies the fields out; a setter copies them
// into the definition and stores it. Both return false when the tag's data cannot be
// read or written (a setter then changes nothing).
#pragma once

#include "script/unit_stats.h"
#include "tags/gameplay/mons.h"

struct tag_entry;

bool get_monster_stats(tag_entry* e, monster_stats& s);

bool get_object_stats(tag_entry* e, object_stats& s);
// Writes the effect modifiers a statistics line carries (slots 0 to 8).
bool set_object_stats(tag_entry* e, const object_stats& s);

bool get_projectile_stats(tag_entry* e, projectile_stats& s);
bool set_projectile_stats(tag_entry* e, const projectile_stats& s);

// The monster accessors on a definition in memory, for callers that read a monster once
// for all its attacks. An attack_index outside 0..3 gives or changes nothing (false).
monster_stats monster_stats_of(const monster_definition& m);
// The flags keep the stored bits outside keep_mask's complement; the attack count is not written.
void apply_monster_stats(monster_definition& m, const monster_stats& s);
bool attack_stats_of(const monster_definition& m, attack_stats& s);
bool apply_attack_stats(monster_definition& m, const attack_stats& s);
