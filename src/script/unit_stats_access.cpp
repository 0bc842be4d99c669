#include "script/unit_stats_access.h"

#include <cstring>

#include "script/unit_stats_reader.h"
#include "tags/gameplay/proj.h"

namespace {

template <class T>
T Merge(T stored, T text, T keep)
{
    return T((stored & keep) | text);
}

// Each copies the fields that a record and a definition share by name, either way.
template <class Definition, class Stats>
void CopyMonster(Definition& to, const Stats& from)
{
    to.desired_projectile_volume = from.desired_projectile_volume;
    to.left_handed_fraction = from.left_handed_fraction;
    to.turning_speed = from.turning_speed;
    to.hard_death_system_shock = from.hard_death_system_shock;
    to.flinch_system_shock = from.flinch_system_shock;
    to.absorbed_fraction = from.absorbed_fraction;
    to.healing_fraction = from.healing_fraction;
    to.combined_power = from.combined_power;
    to.longest_range = from.longest_range;
    to.experience_point_value = from.experience_point_value;
    to.cost = from.cost;
    to.pathfinding_radius = from.pathfinding_radius;
    to.maximum_mana = from.maximum_mana;
    to.mana_recharge_rate = from.mana_recharge_rate;
    to.berserk_system_shock = from.berserk_system_shock;
    to.berserk_vitality = from.berserk_vitality;
    to.kills_for_maximum_experience_bonus = from.kills_for_maximum_experience_bonus;
    to.experience_bonus_size = from.experience_bonus_size;
    to.experience_bonus_radius = from.experience_bonus_radius;
    to.blocking_fraction = from.blocking_fraction;
    to.warning_distance = from.warning_distance;
    to.critical_distance = from.critical_distance;
    to.activation_distance = from.activation_distance;
    to.initial_ammunition_lower_bound = from.initial_ammunition_lower_bound;
    to.initial_ammunition_delta = from.initial_ammunition_delta;
    to.maximum_ammunition_count = from.maximum_ammunition_count;
    to.base_movement_speed = from.base_movement_speed;
    std::memcpy(to.movement_modifier_markers, from.movement_modifier_markers, sizeof to.movement_modifier_markers);
    std::memcpy(to.movement_modifiers, from.movement_modifiers, sizeof to.movement_modifiers);
}

template <class Attack, class Stats>
void CopyAttack(Attack& to, const Stats& from)
{
    to.minimum_range = from.minimum_range;
    to.maximum_range = from.maximum_range;
    to.repetitions = from.repetitions;
    to.miss_fraction = from.miss_fraction;
    to.initial_velocity_lower_bound = from.initial_velocity_lower_bound;
    to.initial_velocity_delta = from.initial_velocity_delta;
    to.initial_velocity_error = from.initial_velocity_error;
    to.velocity_improvement_with_experience = from.velocity_improvement_with_experience;
    to.recovery_time = from.recovery_time;
    to.recovery_time_experience_delta = from.recovery_time_experience_delta;
    to.mana_cost = from.mana_cost;
    to.flags_1 = from.flags_1;
    to.flags_2 = from.flags_2;
}

template <class Definition, class Stats>
void CopyObject(Definition& to, const Stats& from)
{
    to.maximum_vitality = from.maximum_vitality;
    to.maximum_vitality_delta = from.maximum_vitality_delta;
    to.scale_lower_bound = from.scale_lower_bound;
    to.scale_delta = from.scale_delta;
    to.minimum_damage = from.minimum_damage;
}

template <class Definition, class Stats>
void CopyProjectile(Definition& to, const Stats& from)
{
    to.detonation_frequency = from.detonation_frequency;
    to.media_detonation_frequency = from.media_detonation_frequency;
    to.detonation_velocity = from.detonation_velocity;
    to.volume = from.volume;
    to.inertia_lower_bound = from.inertia_lower_bound;
    to.inertia_delta = from.inertia_delta;
    to.random_initial_velocity = from.random_initial_velocity;
    to.tracking_priority = from.tracking_priority;
    to.guided_turning_speed = from.guided_turning_speed;
    to.damage_type = from.damage_type;
    to.damage_lower_bound = from.damage_lower_bound;
    to.damage_delta = from.damage_delta;
    to.radius_lower_bound = from.radius_lower_bound;
    to.radius_delta = from.radius_delta;
    to.rate_of_expansion = from.rate_of_expansion;
    to.damage_to_velocity = from.damage_to_velocity;
}

bool ValidAttack(int16_t index)
{
    return index >= 0 && index < MAXIMUM_ATTACKS_PER_MONSTER;
}

// Keeps the stored bytes of the attack sequences when the 3D model bit changes: they are
// converted by the bit, so in memory they must match the order the new bit writes.
void KeepSequenceBytes(monster_definition& m, uint32_t old_flags)
{
    if (!((old_flags ^ m.flags) & MONSTER_HAS_3D_MODEL)) return;
    for (monster_attack& a : m.attacks)
        byte_swap_data(monster_attack_sequences_info::label, a.sequences, int32_t(sizeof a.sequences), 1,
                       monster_attack_sequences_info::codes);
}

} // namespace

monster_stats monster_stats_of(const monster_definition& m)
{
    monster_stats s{};
    CopyMonster(s, m);
    s.flags = m.flags;
    s.attack_count = int16_t(monster_attacks_in_use(m));
    s.keep_mask = monster_keep_mask();
    return s;
}

void apply_monster_stats(monster_definition& m, const monster_stats& s)
{
    uint32_t old_flags = m.flags;
    CopyMonster(m, s);
    m.flags = Merge(m.flags, s.flags, s.keep_mask);
    KeepSequenceBytes(m, old_flags);
}

bool attack_stats_of(const monster_definition& m, attack_stats& s)
{
    int16_t index = s.attack_index;
    if (!ValidAttack(index)) return false;
    s = {};
    CopyAttack(s, m.attacks[index]);
    s.attack_index = index;
    return true;
}

bool apply_attack_stats(monster_definition& m, const attack_stats& s)
{
    if (!ValidAttack(s.attack_index)) return false;
    CopyAttack(m.attacks[s.attack_index], s);
    return true;
}

bool get_monster_stats(tag_entry* e, monster_stats& s)
{
    monster_definition m;
    if (!read_tag_struct(e, m)) return false;
    s = monster_stats_of(m);
    return true;
}

bool get_object_stats(tag_entry* e, object_stats& s)
{
    object_definition o;
    if (!read_tag_struct(e, o)) return false;
    s = {};
    CopyObject(s, o);
    s.flags = o.flags;
    std::memcpy(s.effect_modifiers, o.effect_modifiers, sizeof s.effect_modifiers);
    s.keep_mask = object_keep_mask();
    return true;
}

bool set_object_stats(tag_entry* e, const object_stats& s)
{
    object_definition o;
    if (!read_tag_struct(e, o)) return false;
    CopyObject(o, s);
    o.flags = Merge(o.flags, s.flags, s.keep_mask);
    std::memcpy(o.effect_modifiers, s.effect_modifiers, NUMBER_OF_TEXT_EFFECT_MODIFIERS * sizeof o.effect_modifiers[0]);
    return write_tag_struct(e, o);
}

bool get_projectile_stats(tag_entry* e, projectile_stats& s)
{
    projectile_definition p;
    if (!read_tag_struct(e, p)) return false;
    s = {};
    CopyProjectile(s, p);
    s.flags = p.flags;
    s.damage_flags = p.damage_flags;
    s.unnamed_integer = p.field_140;
    s.keep_mask = projectile_keep_mask();
    s.damage_keep_mask = projectile_damage_keep_mask();
    return true;
}

bool set_projectile_stats(tag_entry* e, const projectile_stats& s)
{
    projectile_definition p;
    if (!read_tag_struct(e, p)) return false;
    CopyProjectile(p, s);
    p.flags = Merge(p.flags, s.flags, s.keep_mask);
    p.damage_flags = Merge(p.damage_flags, s.damage_flags, s.damage_keep_mask);
    p.field_140 = s.unnamed_integer;
    return write_tag_struct(e, p);
}
