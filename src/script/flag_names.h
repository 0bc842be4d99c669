// The names of the flag bits and enumerated values that statistics text shows: one
// table, sliced by the field each part names.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

struct flag_name_row {
    int64_t value; // a flag bit, or an enumerated value
    const char* name;
};

using flag_names = std::span<const flag_name_row>;

inline constexpr flag_name_row flag_name_table[] = {
    // projectile volumes (stored -1..2)
    {-1, "none"}, {0, "unwieldy"}, {1, "small"}, {2, "large"},
    // monster flags
    {0x1, "trans_constant"}, {0x2, "holds_with_clear_shot"}, {0x4, "floats"}, {0x8, "flies"},
    {0x10, "allows_proj_pass_thru"}, {0x20, "exp_proportional"}, {0x40, "is_anit-missle_unit"},
    {0x80, "is_anti-missle_target"}, {0x100, "turns_to_stone"}, {0x200, "concentrates_on_single_target"},
    {0x400, "is_undead"}, {0x800, "cannot_be_autotargeted"}, {0x1000, "is_giant_sized"},
    {0x2000, "does_not_respect_visibility"}, {0x4000, "is_not_solid"}, {0x8000, "leaves_contrail"},
    {0x10000, "invisible_on_overhead"}, {0x20000, "cannot_be_healed"}, {0x40000, "does_not_drop_ammo"},
    {0x80000, "is_inanimate"}, {0x100000, "is_skittish"}, {0x200000, "has_3d_model"},
    {0x400000, "small_radius_with_alies"},
    // attack flags: 16 of word 1, then 3 of word 2
    {0x1, "is_indirect"}, {0x2, "does_not_require_solution"}, {0x4, "aimed_at_feet"}, {0x8, "leads_target"},
    {0x10, "uses_ammo"}, {0x20, "uses_carried_projectile"}, {0x40, "is_reflexive"}, {0x80, "is_special_ability"},
    {0x100, "cannot_be_aborted"}, {0x200, "is_primary_attack"}, {0x400, "avoids_friendly_units"},
    {0x800, "vs_giant_sized"}, {0x1000, "prohibit_vs_giant_sized"}, {0x2000, "is_fixed_pitch"},
    {0x4000, "dont_shoot_over_nearby"}, {0x8000, "lob_to_hit_lower_nearby"},
    {0x1, "can_be_used_against_friendlies"}, {0x2, "vs_small_sized"}, {0x4, "prohibit_vs_small_sized"},
    // object flags
    {0x1, "draw_selection"}, {0x2, "draw_vitality"}, {0x4, "maintain_constant_height"}, {0x8, "ignore_collisions"},
    // projectile flags, group A
    {0x8, "when_animation_loops"}, {0x10, "when_transfer_loops"}, {0x20, "at_rest"},
    {0x20000, "remains_after_detonation"},
    // projectile volumes again
    {-1, "none"}, {0, "unwieldy"}, {1, "small"}, {2, "large"},
    // projectile flags, group B
    {0x40, "affected_by_wind"}, {0x4000, "cannot_be_accelerated"}, {0x2000, "melee_attack"},
    // damage types (stored -1..11)
    {-1, "none"}, {0, "explosion"}, {1, "magical"}, {2, "holding"}, {3, "healing"}, {4, "kinetic"},
    {5, "slashing_metal"}, {6, "stoning"}, {7, "slashing_claws"}, {8, "explosive_electricity"}, {9, "fire"},
    {10, "gas"}, {11, "charm"},
    // damage flags
    {0x1, "proportional_to_velocity"}, {0x2, "area_of_effect"}, {0x4, "does_not_interrupt_events"},
    {0x80, "cannot_be_healed"}, {0x10, "can_cause_paralysis"}, {0x20, "can_stun"}, {0x40, "cannot_be_blocked"},
    {0x100, "does_not_affect_monsters"}, {0x200, "detonated_explosive_immediately"},
    {0x400, "proportional_to_mana"}, {0x800, "can_destroy_large_objects"}, {0x1000, "instantaneous"},
    {0x2000, "cannot_hurt_owner"}, {0x4000, "does_not_make_monsters_flinch"}, {0x8000, "can_cause_confusion"},
    // projectile flags, group C
    {0x1, "uses_owner_color_table_index"}, {0x200, "angle_follows_trajectory"}, {0x800, "can_be_mirrored"},
    {0x100, "becomes_dormant_at_rest"}, {0x80, "animates_at_rest"}, {0x8000, "bloodies_landscape"},
    {0x10000, "is_on_fire"}, {0x40000, "passes_through_target"}, {0x80000, "cannot_be_mirrored_vertically"},
    {0x100000, "floats"}, {0x200000, "is_media_surface_effect"}, {0x4000000, "continually_detonates"},
    {0x1000000, "is_lightning"}, {0x2000000, "chooses_nearby_target"}, {0x800000, "is_only_destroyed_by_lifespan"},
    {0x8000000, "makes_owner_monster_visible"}, {0x10000000, "can_set_landscape_on_fire"},
    {0x20000000, "centered_on_target"}, {0x40000000, "marks_target_as_having_been_chosen"}, {0x4, "is_bloody"},
    {0x2, "is_guided"}, {0x80000000, "detonates_immediately"}, {0x400000, "has sprite contrail"},
};

inline constexpr flag_names projectile_volume_names{flag_name_table + 0, 4};
inline constexpr flag_names monster_flag_names{flag_name_table + 4, 23};
inline constexpr flag_names attack_flag_names{flag_name_table + 27, 19};
inline constexpr flag_names attack_flag_names_1{flag_name_table + 27, 16};
inline constexpr flag_names attack_flag_names_2{flag_name_table + 43, 3};
inline constexpr flag_names object_flag_names{flag_name_table + 46, 4};
inline constexpr flag_names projectile_flag_names_a{flag_name_table + 50, 4};
inline constexpr flag_names projectile_volume_names_2{flag_name_table + 54, 4};
inline constexpr flag_names projectile_flag_names_b{flag_name_table + 58, 3};
inline constexpr flag_names damage_type_names{flag_name_table + 61, 13};
inline constexpr flag_names damage_flag_names{flag_name_table + 74, 15};
inline constexpr flag_names projectile_flag_names_c{flag_name_table + 89, 23};
static_assert(std::size(flag_name_table) == 112);

// The row named name (letters of any case); none when there is none.
const flag_name_row* find_flag_name(flag_names names, std::string_view name);
// Every bit the rows name.
uint32_t flag_names_mask(flag_names names);
// The name of an enumerated value (the row at value + 1); none when out of range.
const char* enumeration_name(flag_names names, int32_t value);
