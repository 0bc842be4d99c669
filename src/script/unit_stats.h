// The value records that carry unit statistics between tags and text: one per value
// line of a statistics script. Fields hold the stored forms of the tag fields.
#pragma once

#include <cstdint>

#include "tags/gameplay/mons.h"
#include "tags/gameplay/obje.h"

constexpr int NUMBER_OF_TEXT_EFFECT_MODIFIERS = 9; // the slots a statistics line carries

struct monster_stats {
    int16_t desired_projectile_volume; // -1..2
    uint16_t left_handed_fraction;     // fraction16
    uint16_t turning_speed;            // angle16 per tick
    uint16_t hard_death_system_shock;  // fraction16
    uint16_t flinch_system_shock;
    uint16_t absorbed_fraction;
    int16_t healing_fraction; // fixed8
    int16_t combined_power;
    int16_t longest_range; // world distance
    int16_t experience_point_value;
    int16_t cost;
    int16_t pathfinding_radius; // world distance
    int16_t maximum_mana;       // fixed8
    int16_t mana_recharge_rate; // fixed8
    uint16_t berserk_system_shock; // fraction16
    uint16_t berserk_vitality;
    int16_t kills_for_maximum_experience_bonus;
    int16_t experience_bonus_size;
    int16_t experience_bonus_radius; // world distance
    uint16_t blocking_fraction;      // fraction16
    int16_t warning_distance;        // world distance
    int16_t critical_distance;
    int16_t activation_distance;
    int16_t initial_ammunition_lower_bound;
    int16_t initial_ammunition_delta;
    int16_t maximum_ammunition_count;
    int16_t base_movement_speed; // world distance
    uint8_t movement_modifier_markers[NUMBER_OF_MOVEMENT_MODIFIERS]; // 0xFF: no modifier
    uint8_t movement_modifiers[NUMBER_OF_MOVEMENT_MODIFIERS];        // fraction8
    uint32_t flags;
    int16_t attack_count; // read from the tag, never written to it
    uint32_t keep_mask;   // flag bits the text leaves as stored
};

struct attack_stats {
    int16_t minimum_range; // world distance
    int16_t maximum_range;
    int16_t repetitions;
    uint16_t miss_fraction; // fraction16
    int16_t initial_velocity_lower_bound; // world distance
    int16_t initial_velocity_delta;
    int16_t initial_velocity_error;
    int16_t velocity_improvement_with_experience;
    int16_t recovery_time; // ticks
    int16_t recovery_time_experience_delta;
    int16_t mana_cost; // fixed8
    uint16_t flags_1;
    uint16_t flags_2;
    int16_t attack_index; // which attack of the monster
};

struct object_stats {
    int16_t maximum_vitality; // fixed8
    int16_t maximum_vitality_delta;
    int16_t scale_lower_bound; // fixed8
    int16_t scale_delta;
    int16_t minimum_damage; // fixed8
    uint16_t flags;
    int16_t effect_modifiers[NUMBER_OF_EFFECT_MODIFIERS]; // fixed8
    uint16_t keep_mask;
};

struct projectile_stats {
    uint16_t detonation_frequency;       // fraction16
    uint16_t media_detonation_frequency; // fraction16
    int16_t detonation_velocity;         // world distance
    uint32_t flags;
    int16_t volume;              // -1..2
    int16_t inertia_lower_bound; // fixed8
    int16_t inertia_delta;
    int16_t random_initial_velocity; // world distance
    int16_t unnamed_integer;         // the definition's statistic without a name
    int16_t tracking_priority;
    uint16_t guided_turning_speed; // angle16 per tick
    int16_t damage_type;           // -1..11
    uint16_t damage_flags;
    int16_t damage_lower_bound; // fixed8
    int16_t damage_delta;
    int16_t radius_lower_bound; // world distance
    int16_t radius_delta;
    int16_t rate_of_expansion;  // world distance
    int16_t damage_to_velocity; // fixed8
    uint16_t damage_keep_mask;
    uint32_t keep_mask; // of flags
};
