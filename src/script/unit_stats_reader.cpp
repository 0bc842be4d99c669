#include "script/unit_stats_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "script/flag_names.h"
#include "script/unit_stats_fields.h"
#include "tags/tag_units.h"

namespace {

const char* const kUnnamedInteger = "unnamed_integer";

[[noreturn]] void UnknownFlag(TScriptLine& line, const std::string& word)
{
    line.fail("(flags) value not recognized: " + word);
}

int16_t EnumerationFrom(TScriptLine& line, flag_names names, const char* name, const std::string& word)
{
    const flag_name_row* row = find_flag_name(names, word);
    if (!row) line.fail(field_message(name, ("value not recognized: " + word).c_str()));
    return int16_t(row->value);
}

int16_t ReadEnumeration(TScriptLine& line, flag_names names, const char* name)
{
    return EnumerationFrom(line, names, name, line.field(name));
}

// ORs flag names into word until another word, which is left in other; false when the
// line ends first. "-" (no flags) is skipped.
bool ReadFlags(TScriptLine& line, flag_names names, uint32_t& word, std::string& other)
{
    while (line.next(other)) {
        if (other == "-") continue;
        const flag_name_row* row = find_flag_name(names, other);
        if (!row) return true;
        word |= uint32_t(row->value);
    }
    return false;
}

void ReadFlagsToEnd(TScriptLine& line, flag_names names, uint32_t& word)
{
    std::string other;
    if (ReadFlags(line, names, word, other)) UnknownFlag(line, other);
}

int16_t Fixed8From(TScriptLine& line, const char* name, double value)
{
    int64_t raw = fixed8_raw(value);
    if (raw < INT16_MIN || raw > INT16_MAX) line.fail(field_message(name, "parameter out of range"));
    return int16_t(raw);
}

// A fixed8 field that is kept as a decimal in the record.
float ReadFixed8Decimal(TScriptLine& line, const char* name)
{
    double value = read_decimal(line, name);
    Fixed8From(line, name, value);
    return float(value);
}

void CheckUpper(TScriptLine& line, const char* name, float lower, float upper)
{
    if (fixed8_raw(upper) < fixed8_raw(lower))
        line.fail(field_message(name, "parameter out of range (below the lower bound)"));
}

tag_code ReadCode(TScriptLine& line, const char* name)
{
    std::string token = line.field(name);
    if (token.size() != 4) line.fail(field_message(name, "the tag code is not the correct size"));
    return text_to_tag_code(token);
}

} // namespace

uint32_t monster_keep_mask()
{
    return ~flag_names_mask(monster_flag_names);
}

uint16_t object_keep_mask()
{
    return uint16_t(~flag_names_mask(object_flag_names));
}

uint16_t projectile_damage_keep_mask()
{
    return uint16_t(~flag_names_mask(damage_flag_names));
}

uint32_t projectile_keep_mask()
{
    return ~(flag_names_mask(projectile_flag_names_a) | flag_names_mask(projectile_flag_names_b) |
             flag_names_mask(projectile_flag_names_c));
}

void read_monster_stats(TScriptLine& line, monster_stats& s)
{
    s.desired_projectile_volume = ReadEnumeration(line, projectile_volume_names, "desired_projectile_volume");
    for (const stat_field& f : monster_stat_fields) read_stat(line, &s, f);
    for (int i = 0; i < NUMBER_OF_MOVEMENT_MODIFIERS; ++i) {
        double value = read_decimal(line, "movement_modifiers");
        bool none = value == -1.0;
        s.movement_modifier_markers[i] = none ? 0xFF : 0;
        s.movement_modifiers[i] = none ? 0 : encode_fraction8(value);
    }
    s.keep_mask = monster_keep_mask();
    s.flags = 0;
    ReadFlagsToEnd(line, monster_flag_names, s.flags);
}

void read_attack_stats(TScriptLine& line, attack_stats& s)
{
    int64_t index = read_integer(line, "attack_index");
    if (index < 0 || index >= MAXIMUM_ATTACKS_PER_MONSTER)
        line.fail(field_message("attack_index", "parameter out of range (0-3)"));
    s.attack_index = int16_t(index);
    for (const stat_field& f : attack_stat_fields) read_stat(line, &s, f);
    s.flags_1 = s.flags_2 = 0;
    std::string word;
    while (line.next(word)) {
        if (word == "-") continue;
        if (const flag_name_row* row = find_flag_name(attack_flag_names_1, word))
            s.flags_1 = uint16_t(s.flags_1 | row->value);
        else if (const flag_name_row* row2 = find_flag_name(attack_flag_names_2, word))
            s.flags_2 = uint16_t(s.flags_2 | row2->value);
        else
            UnknownFlag(line, word);
    }
}

void read_object_stats(TScriptLine& line, object_stats& s)
{
    for (const stat_field& f : object_stat_fields) read_stat(line, &s, f);
    s.keep_mask = object_keep_mask();
    std::memset(s.effect_modifiers, 0, sizeof s.effect_modifiers);
    uint32_t flags = 0;
    std::string word;
    bool more = ReadFlags(line, object_flag_names, flags, word);
    s.flags = uint16_t(flags);
    for (int i = 0; more && i < NUMBER_OF_TEXT_EFFECT_MODIFIERS; ++i) {
        if (i > 0 && !line.next(word)) break;
        s.effect_modifiers[i] = Fixed8From(line, "effect_modifiers", decimal_value(line, "effect_modifiers", word));
    }
    line.expect_end("(effect_modifiers) too many values, at most 9");
}

void read_projectile_stats(TScriptLine& line, projectile_stats& s)
{
    for (const stat_field& f : projectile_stat_fields_1) read_stat(line, &s, f);
    uint32_t flags = 0;
    std::string word;
    if (!ReadFlags(line, projectile_flag_names_a, flags, word))
        line.fail(field_message("volume", "parameter was expected, none found"));
    s.volume = EnumerationFrom(line, projectile_volume_names_2, "volume", word);
    for (const stat_field& f : projectile_stat_fields_2) read_stat(line, &s, f);
    s.unnamed_integer = 0;
    if (ReadFlags(line, projectile_flag_names_b, flags, word)) {
        int64_t value = integer_value(line, kUnnamedInteger, word);
        if (value < INT16_MIN || value > INT16_MAX) line.fail(field_message(kUnnamedInteger, "parameter out of range"));
        s.unnamed_integer = int16_t(value);
    }
    for (const stat_field& f : projectile_stat_fields_3) read_stat(line, &s, f);
    s.damage_type = ReadEnumeration(line, damage_type_names, "damage_type");
    for (const stat_field& f : projectile_stat_fields_4) read_stat(line, &s, f);
    uint32_t damage = 0;
    if (ReadFlags(line, damage_flag_names, damage, word)) {
        const flag_name_row* first = find_flag_name(projectile_flag_names_c, word);
        if (!first) UnknownFlag(line, word);
        flags |= uint32_t(first->value);
        ReadFlagsToEnd(line, projectile_flag_names_c, flags);
    }
    s.flags = flags;
    s.damage_flags = uint16_t(damage);
    s.keep_mask = projectile_keep_mask();
    s.damage_keep_mask = projectile_damage_keep_mask();
}

void read_sound_creation_record(TScriptLine& line, sound_creation_record& r)
{
    std::string text = line.field("name");
    std::memset(r.name, 0, sizeof r.name);
    std::memcpy(r.name, text.data(), std::min(text.size(), sizeof r.name - 1));
    r.tag = ReadCode(line, "tag");
    int64_t loudness = read_integer(line, "loudness");
    if (loudness < 1 || loudness > 4)
        line.fail(field_message("loudness", "parameter out of range, should be 1, 2, 3, or 4"));
    r.loudness = int32_t(loudness);
    r.subtitle_stringlist = ReadCode(line, "subtitle_stringlist");
    int64_t index = read_integer(line, "subtitle_index");
    if (index < INT16_MIN + 1 || index > INT16_MAX + 1)
        line.fail(field_message("subtitle_index", "parameter out of range"));
    r.subtitle_index = int32_t(index);
    r.play_fraction = float(read_decimal(line, "play_fraction"));
    if (r.play_fraction < 0 || r.play_fraction > 100)
        line.fail(field_message("play_fraction", "parameter out of range (0-100)"));
    r.frequency_modifier = ReadFixed8Decimal(line, "frequency_modifier");
    r.pitch_min = ReadFixed8Decimal(line, "pitch_min");
    r.pitch_max = ReadFixed8Decimal(line, "pitch_max");
    CheckUpper(line, "pitch_max", r.pitch_min, r.pitch_max);
    for (auto [name, value] : {std::pair{"volume_min", &r.volume_min}, std::pair{"volume_max", &r.volume_max}}) {
        *value = float(read_decimal(line, name));
        if (*value < 0 || *value > 1) line.fail(field_message(name, "parameter out of range (0-1)"));
    }
    CheckUpper(line, "volume_max", r.volume_min, r.volume_max);
    int64_t flags = read_integer(line, "flags");
    if (flags < INT32_MIN || flags > int64_t(UINT32_MAX)) line.fail(field_message("flags", "parameter out of range"));
    r.flags = uint32_t(flags);
    line.expect_end("too many parameters");
}
