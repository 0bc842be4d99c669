// Monster (mons): one 1024-byte definition holding four 64-byte attack records. An
// attack's 32 sequence bytes are converted only when the monster has no 3D model.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

constexpr int MAXIMUM_ATTACKS_PER_MONSTER = 4;
constexpr int MAXIMUM_SEQUENCES_PER_ATTACK = 4;
constexpr int NUMBER_OF_MONSTER_SOUND_TAGS = 10;
constexpr int NUMBER_OF_MOVEMENT_MODIFIERS = 16;

enum : uint32_t {
    MONSTER_HAS_3D_MODEL = 0x200000, // the model is a skmd, and the attack sequences are opaque
};

struct monster_attack_sequence {
    int16_t field_0;
    int16_t field_2;
    int16_t field_4;
    uint8_t raw_6[2];
};
static_assert(sizeof(monster_attack_sequence) == 8);

struct monster_attack {
    uint16_t flags_1;
    uint16_t miss_fraction;  // fraction16
    tag_code projectile_tag; // proj
    int16_t minimum_range;   // world distance
    int16_t maximum_range;
    monster_attack_sequence sequences[MAXIMUM_SEQUENCES_PER_ATTACK];
    int16_t repetitions;
    int16_t initial_velocity_lower_bound; // world distance
    int16_t initial_velocity_delta;
    int16_t initial_velocity_error;
    int16_t recovery_time; // ticks
    int16_t recovery_time_experience_delta;
    int16_t velocity_improvement_with_experience;
    int16_t mana_cost; // fixed8
    uint16_t flags_2;
    uint8_t raw_62[2];
};
static_assert(sizeof(monster_attack) == 64);
static_assert(offsetof(monster_attack, miss_fraction) == 2);
static_assert(offsetof(monster_attack, projectile_tag) == 4);
static_assert(offsetof(monster_attack, minimum_range) == 8);
static_assert(offsetof(monster_attack, maximum_range) == 10);
static_assert(offsetof(monster_attack, sequences) == 12);
static_assert(offsetof(monster_attack, repetitions) == 44);
static_assert(offsetof(monster_attack, initial_velocity_lower_bound) == 46);
static_assert(offsetof(monster_attack, initial_velocity_delta) == 48);
static_assert(offsetof(monster_attack, initial_velocity_error) == 50);
static_assert(offsetof(monster_attack, recovery_time) == 52);
static_assert(offsetof(monster_attack, recovery_time_experience_delta) == 54);
static_assert(offsetof(monster_attack, velocity_improvement_with_experience) == 56);
static_assert(offsetof(monster_attack, mana_cost) == 58);
static_assert(offsetof(monster_attack, flags_2) == 60);

struct monster_definition {
    uint32_t flags;
    tag_code collection_tag; // skmd with MONSTER_HAS_3D_MODEL, else .256
    int16_t field_8[32];
    uint8_t movement_modifier_markers[NUMBER_OF_MOVEMENT_MODIFIERS]; // 0xFF: no modifier
    int16_t field_88;
    int16_t pathfinding_radius; // world distance
    uint8_t movement_modifiers[NUMBER_OF_MOVEMENT_MODIFIERS]; // fraction8
    uint16_t absorbed_fraction;                               // fraction16
    int16_t warning_distance;                                 // world distance
    int16_t critical_distance;
    int16_t healing_fraction; // fixed8
    int16_t initial_ammunition_lower_bound;
    int16_t initial_ammunition_delta;
    int16_t activation_distance; // world distance
    uint8_t raw_122[2];
    uint16_t turning_speed;       // angle16 per tick
    int16_t base_movement_speed;  // world distance
    uint16_t left_handed_fraction; // fraction16
    int16_t field_130;
    tag_code object_tag; // obje
    int16_t attack_count;
    int16_t desired_projectile_volume; // -1..2
    monster_attack attacks[MAXIMUM_ATTACKS_PER_MONSTER];
    uint32_t field_396;
    int16_t field_400;
    int16_t field_402;
    tag_code projectile_group_tag_404; // prgr
    uint8_t raw_408[2];
    int16_t maximum_ammunition_count;
    uint16_t hard_death_system_shock; // fraction16
    uint16_t flinch_system_shock;     // fraction16
    tag_code projectile_group_tag_416;
    tag_code projectile_group_tag_420;
    tag_code string_list_tags[3]; // stli
    uint8_t raw_436[2];
    int16_t field_438;
    int16_t field_440;
    int16_t experience_point_value;
    tag_code sound_tags[NUMBER_OF_MONSTER_SOUND_TAGS]; // soun
    tag_code projectile_group_tag_484;
    tag_code projectile_group_tag_488;
    tag_code ammunition_tag; // proj
    int16_t field_496;
    int16_t combined_power;
    int16_t longest_range; // world distance
    int16_t cost;
    uint8_t raw_504[10];
    uint8_t raw_514[2];
    tag_code projectile_group_tag_516;
    tag_code local_projectile_group_tag; // lpgr
    tag_code string_list_tag_524;
    tag_code projectile_group_tag_528;
    int16_t maximum_mana;           // fixed8
    int16_t mana_recharge_rate;     // fixed8
    uint16_t berserk_system_shock;  // fraction16
    uint16_t berserk_vitality;      // fraction16
    tag_code collection_tag_540;    // .256
    int16_t kills_for_maximum_experience_bonus;
    int16_t experience_bonus_size;
    int16_t experience_bonus_radius; // world distance
    uint16_t blocking_fraction;      // fraction16
    uint32_t field_552;
    uint8_t raw_556[414];
    uint8_t raw_970[6];
    uint8_t raw_976[20];
    uint8_t raw_996[28];
};
static_assert(sizeof(monster_definition) == 1024);
static_assert(offsetof(monster_definition, movement_modifier_markers) == 72);
static_assert(offsetof(monster_definition, pathfinding_radius) == 90);
static_assert(offsetof(monster_definition, movement_modifiers) == 92);
static_assert(offsetof(monster_definition, absorbed_fraction) == 108);
static_assert(offsetof(monster_definition, warning_distance) == 110);
static_assert(offsetof(monster_definition, critical_distance) == 112);
static_assert(offsetof(monster_definition, healing_fraction) == 114);
static_assert(offsetof(monster_definition, initial_ammunition_lower_bound) == 116);
static_assert(offsetof(monster_definition, initial_ammunition_delta) == 118);
static_assert(offsetof(monster_definition, activation_distance) == 120);
static_assert(offsetof(monster_definition, turning_speed) == 124);
static_assert(offsetof(monster_definition, base_movement_speed) == 126);
static_assert(offsetof(monster_definition, left_handed_fraction) == 128);
static_assert(offsetof(monster_definition, object_tag) == 132);
static_assert(offsetof(monster_definition, attack_count) == 136);
static_assert(offsetof(monster_definition, desired_projectile_volume) == 138);
static_assert(offsetof(monster_definition, attacks) == 140);
static_assert(offsetof(monster_definition, field_396) == 396);
static_assert(offsetof(monster_definition, projectile_group_tag_404) == 404);
static_assert(offsetof(monster_definition, maximum_ammunition_count) == 410);
static_assert(offsetof(monster_definition, hard_death_system_shock) == 412);
static_assert(offsetof(monster_definition, flinch_system_shock) == 414);
static_assert(offsetof(monster_definition, projectile_group_tag_416) == 416);
static_assert(offsetof(monster_definition, string_list_tags) == 424);
static_assert(offsetof(monster_definition, experience_point_value) == 442);
static_assert(offsetof(monster_definition, sound_tags) == 444);
static_assert(offsetof(monster_definition, projectile_group_tag_484) == 484);
static_assert(offsetof(monster_definition, ammunition_tag) == 492);
static_assert(offsetof(monster_definition, combined_power) == 498);
static_assert(offsetof(monster_definition, longest_range) == 500);
static_assert(offsetof(monster_definition, cost) == 502);
static_assert(offsetof(monster_definition, raw_504) == 504);
static_assert(offsetof(monster_definition, projectile_group_tag_516) == 516);
static_assert(offsetof(monster_definition, local_projectile_group_tag) == 520);
static_assert(offsetof(monster_definition, string_list_tag_524) == 524);
static_assert(offsetof(monster_definition, projectile_group_tag_528) == 528);
static_assert(offsetof(monster_definition, maximum_mana) == 532);
static_assert(offsetof(monster_definition, mana_recharge_rate) == 534);
static_assert(offsetof(monster_definition, berserk_system_shock) == 536);
static_assert(offsetof(monster_definition, berserk_vitality) == 538);
static_assert(offsetof(monster_definition, collection_tag_540) == 540);
static_assert(offsetof(monster_definition, kills_for_maximum_experience_bonus) == 544);
static_assert(offsetof(monster_definition, experience_bonus_size) == 546);
static_assert(offsetof(monster_definition, experience_bonus_radius) == 548);
static_assert(offsetof(monster_definition, blocking_fraction) == 550);
static_assert(offsetof(monster_definition, raw_556) == 556);

template <>
struct tag_struct_info<monster_definition> {
    static constexpr tag_code type = "mons"_4cc;
    static constexpr const char* label = "mons";
    // the attacks are raw here; they have descriptions of their own
    static constexpr bs_code codes[] = {
        _begin_bs_array, 1, _4byte, _4byte, _begin_bs_array, 32, _2byte, _end_bs_array, 16, _2byte, _2byte, 16,
        _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, 2, _2byte, _2byte, _2byte, _2byte, _4byte,
        _2byte, _2byte, 256, _4byte, _2byte, _2byte, _4byte, 2, _2byte, _2byte, _2byte, _4byte, _4byte,
        _4byte, _4byte, _4byte, 2, _2byte, _2byte, _2byte, _begin_bs_array, 10, _4byte, _end_bs_array,
        _4byte, _4byte, _4byte, _2byte, _2byte, _2byte, _2byte, 10, 2, _4byte, _4byte, _4byte, _4byte,
        _2byte, _2byte, _2byte, _2byte, _4byte, _2byte, _2byte, _2byte, _2byte, _4byte, 414, 6, 20, 28,
        _end_bs_array};
};

template <>
struct tag_struct_info<monster_attack> {
    static constexpr const char* label = "monster attack";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _2byte, _2byte, _4byte, _2byte, _2byte, 32,
                                        _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte,
                                        _2byte, 2, _end_bs_array};
};

// The attack sequences of a monster without a 3D model.
struct monster_attack_sequences_info {
    static constexpr const char* label = "monster attack sequences";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _begin_bs_array, 4, _2byte, _2byte, _2byte, 2,
                                        _end_bs_array, _end_bs_array};
};

// The monster with its attacks; these take the place of the general ones.
bool read_tag_struct(tag_entry* e, monster_definition& m);
bool write_tag_struct(tag_entry* e, const monster_definition& m);
bool compare_tag_struct(tag_entry* e, const monster_definition& m, bool exact);
std::vector<uint8_t> tag_struct_bytes(const monster_definition& m);

// The attacks in use: the stored count limited to 0..4.
int monster_attacks_in_use(const monster_definition& m);

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(monster_definition& d);

// Reports every tag the definition references, in order.
void collect_dependencies(const monster_definition& d);
