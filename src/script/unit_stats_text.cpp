#include "script/unit_stats_text.h"

#include "script/unit_stats_fields.h"
#include "tags/tag_units.h"

const char* const UNIT_STATS_TEXT_HEAD = "replace_monster_stats // (don't change this)\n// tag type\ttag id\n\n";

namespace {

std::string Head(const char* type, tag_code id)
{
    return std::string(type) + "\t" + tag_code_to_text(id) + "\t";
}

void AppendFields(std::string& out, const void* record, stat_fields fields)
{
    for (const stat_field& f : fields) out += stat_text(record, f) + "\t";
}

// An enumeration's name; a value without one shows as its number.
std::string EnumerationText(flag_names names, int32_t value)
{
    const char* name = enumeration_name(names, value);
    return name ? name : std::to_string(value);
}

// A group's names, or "-" when none is set.
std::string GroupText(flag_names names, uint32_t word)
{
    std::string text = flag_name_text(names, word);
    return text.empty() ? "-" : text;
}

} // namespace

std::string flag_name_text(flag_names names, uint32_t word)
{
    std::string text;
    for (const flag_name_row& row : names) {
        if (!(uint32_t(row.value) & word)) continue;
        std::string name = row.name;
        text += (name.find(' ') == std::string::npos ? name : "\"" + name + "\"") + " ";
    }
    return text;
}

std::string monster_stats_line(tag_code id, const monster_stats& s)
{
    std::string out = Head("mons", id);
    out += EnumerationText(projectile_volume_names, s.desired_projectile_volume) + "\t";
    AppendFields(out, &s, monster_stat_fields);
    for (int i = 0; i < NUMBER_OF_MOVEMENT_MODIFIERS; ++i)
        out += s.movement_modifier_markers[i] == 0xFF ? std::string("-1\t")
                                                      : format_decimal(fraction8_value(s.movement_modifiers[i]), 6) + "\t";
    out += s.flags ? flag_name_text(monster_flag_names, s.flags) : "-";
    return out;
}

std::string attack_stats_line(tag_code monster_id, int number, const attack_stats& s)
{
    std::string out = Head("attk", monster_id) + std::to_string(number) + "\t";
    AppendFields(out, &s, attack_stat_fields);
    if (!s.flags_1 && !s.flags_2) return out + "-";
    return out + flag_name_text(attack_flag_names_1, s.flags_1) + flag_name_text(attack_flag_names_2, s.flags_2);
}

std::string object_stats_line(tag_code id, const object_stats& s)
{
    std::string out = Head("obje", id);
    AppendFields(out, &s, object_stat_fields);
    out += s.flags ? flag_name_text(object_flag_names, s.flags) : "-\t";
    for (int i = 0; i < NUMBER_OF_TEXT_EFFECT_MODIFIERS; ++i)
        out += "\t" + format_trimmed(fixed8_value(s.effect_modifiers[i]), 3);
    return out;
}

std::string projectile_stats_line(tag_code id, const projectile_stats& s)
{
    std::string out = Head("proj", id);
    AppendFields(out, &s, projectile_stat_fields_1);
    out += GroupText(projectile_flag_names_a, s.flags) + "\t";
    out += EnumerationText(projectile_volume_names_2, s.volume) + "\t";
    AppendFields(out, &s, projectile_stat_fields_2);
    out += GroupText(projectile_flag_names_b, s.flags) + "\t";
    out += std::to_string(s.unnamed_integer) + "\t";
    AppendFields(out, &s, projectile_stat_fields_3);
    out += EnumerationText(damage_type_names, s.damage_type) + "\t";
    AppendFields(out, &s, projectile_stat_fields_4);
    out += GroupText(damage_flag_names, s.damage_flags) + "\t";
    out += GroupText(projectile_flag_names_c, s.flags);
    return out;
}
