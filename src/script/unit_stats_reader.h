// The value lines of statistics and sound creation scripts, read into their records.
// Each raises the parse error of the first field it cannot read.
#pragma once

#include "script/script_line.h"
#include "script/unit_stats.h"
#include "sound/sound_creation_record.h"

// The fields after a value line's tag id.
void read_monster_stats(TScriptLine& line, monster_stats& s);
void read_attack_stats(TScriptLine& line, attack_stats& s);
void read_object_stats(TScriptLine& line, object_stats& s);
void read_projectile_stats(TScriptLine& line, projectile_stats& s);
// The whole soun line after its keyword.
void read_sound_creation_record(TScriptLine& line, sound_creation_record& r);

// The flag bits a statistics line carries; a setter keeps every other bit of the word.
uint32_t monster_keep_mask();
uint16_t object_keep_mask();
uint16_t projectile_damage_keep_mask();
uint32_t projectile_keep_mask();
