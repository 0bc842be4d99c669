#include "textform/tag_layout.h"

#include <cstddef>
#include <initializer_list>
#include <map>
#include <type_traits>

#include "framework/ProgramAssert.h"
#include "sound/sound_list.h"
#include "tags/gameplay/gameplay.h"
#include "tags/tag_types.h"

namespace {

using field_list = std::vector<text_field>;

// One line of a listing: a field, or the fields an unnamed member stands for.
struct field_group {
    field_list fields;
    field_group(text_field f) { fields.push_back(std::move(f)); }
    field_group(field_list f) : fields(std::move(f)) {}
};

field_list Fields(std::initializer_list<field_group> groups)
{
    field_list all;
    for (const field_group& g : groups) all.insert(all.end(), g.fields.begin(), g.fields.end());
    return all;
}

std::string Unnamed(size_t offset)
{
    return "field_" + std::to_string(offset);
}

template <class T>
text_field Integer(std::string name, size_t offset, size_t count = 0)
{
    static_assert(std::is_integral_v<T> && (sizeof(T) == 2 || sizeof(T) == 4));
    return {std::move(name), uint32_t(offset), sizeof(T), text_field_kind::integer, std::is_signed_v<T>,
            uint32_t(count), {}};
}

template <class T>
text_field Reference(std::string name, size_t offset, size_t count = 0)
{
    static_assert(std::is_same_v<T, tag_code>);
    return {std::move(name), uint32_t(offset), 4, text_field_kind::reference, false, uint32_t(count), {}};
}

text_field Bytes(std::string name, size_t offset, size_t size)
{
    return {std::move(name), uint32_t(offset), uint32_t(size), text_field_kind::bytes, false, 0, {}};
}

// Integers without a name: one field per element, named by its offset.
template <class T>
field_list Each(size_t offset, size_t size)
{
    field_list fields;
    for (size_t at = offset; at < offset + size; at += sizeof(T)) fields.push_back(Integer<T>(Unnamed(at), at));
    return fields;
}

text_field Records(std::string name, size_t offset, size_t record_size, size_t count, field_list fields)
{
    return {std::move(name), uint32_t(offset), uint32_t(record_size), text_field_kind::records, false,
            uint32_t(count), std::move(fields)};
}

#define TF_INT(S, m) Integer<decltype(S::m)>(#m, offsetof(S, m))
#define TF_INTS(S, m) Integer<std::remove_extent_t<decltype(S::m)>>(#m, offsetof(S, m), std::extent_v<decltype(S::m)>)
#define TF_REF(S, m) Reference<decltype(S::m)>(#m, offsetof(S, m))
#define TF_REFS(S, m) Reference<std::remove_extent_t<decltype(S::m)>>(#m, offsetof(S, m), std::extent_v<decltype(S::m)>)
#define TF_BYTES(S, m) Bytes(#m, offsetof(S, m), sizeof(S::m))
#define TF_RAW(S, m) Bytes(Unnamed(offsetof(S, m)), offsetof(S, m), sizeof(S::m))
#define TF_UNNAMED(S, m) Each<std::remove_all_extents_t<decltype(S::m)>>(offsetof(S, m), sizeof(S::m))
#define TF_RECORDS(S, m, fields)                                                                              \
    Records(#m, offsetof(S, m), sizeof(std::remove_extent_t<decltype(S::m)>), std::extent_v<decltype(S::m)>, \
            fields)

field_list MonsterAttack(bool has_3d_model)
{
    using A = monster_attack;
    using Q = monster_attack_sequence;
    // a monster with a 3D model keeps its attacks' sequences as stored
    field_group sequences = has_3d_model
                                ? field_group(TF_BYTES(A, sequences))
                                : field_group(TF_RECORDS(A, sequences,
                                                         Fields({TF_UNNAMED(Q, field_0), TF_UNNAMED(Q, field_2),
                                                                 TF_UNNAMED(Q, field_4), TF_RAW(Q, raw_6)})));
    return Fields({TF_INT(A, flags_1), TF_INT(A, miss_fraction), TF_REF(A, projectile_tag), TF_INT(A, minimum_range),
                   TF_INT(A, maximum_range), sequences, TF_INT(A, repetitions),
                   TF_INT(A, initial_velocity_lower_bound), TF_INT(A, initial_velocity_delta),
                   TF_INT(A, initial_velocity_error), TF_INT(A, recovery_time),
                   TF_INT(A, recovery_time_experience_delta), TF_INT(A, velocity_improvement_with_experience),
                   TF_INT(A, mana_cost), TF_INT(A, flags_2), TF_RAW(A, raw_62)});
}

field_list Monster(bool has_3d_model)
{
    using S = monster_definition;
    return Fields({TF_INT(S, flags),
                   TF_REF(S, collection_tag),
                   TF_UNNAMED(S, field_8),
                   TF_BYTES(S, movement_modifier_markers),
                   TF_UNNAMED(S, field_88),
                   TF_INT(S, pathfinding_radius),
                   TF_BYTES(S, movement_modifiers),
                   TF_INT(S, absorbed_fraction),
                   TF_INT(S, warning_distance),
                   TF_INT(S, critical_distance),
                   TF_INT(S, healing_fraction),
                   TF_INT(S, initial_ammunition_lower_bound),
                   TF_INT(S, initial_ammunition_delta),
                   TF_INT(S, activation_distance),
                   TF_RAW(S, raw_122),
                   TF_INT(S, turning_speed),
                   TF_INT(S, base_movement_speed),
                   TF_INT(S, left_handed_fraction),
                   TF_UNNAMED(S, field_130),
                   TF_REF(S, object_tag),
                   TF_INT(S, attack_count),
                   TF_INT(S, desired_projectile_volume),
                   TF_RECORDS(S, attacks, MonsterAttack(has_3d_model)),
                   TF_UNNAMED(S, field_396),
                   TF_UNNAMED(S, field_400),
                   TF_UNNAMED(S, field_402),
                   TF_REF(S, projectile_group_tag_404),
                   TF_RAW(S, raw_408),
                   TF_INT(S, maximum_ammunition_count),
                   TF_INT(S, hard_death_system_shock),
                   TF_INT(S, flinch_system_shock),
                   TF_REF(S, projectile_group_tag_416),
                   TF_REF(S, projectile_group_tag_420),
                   TF_REFS(S, string_list_tags),
                   TF_RAW(S, raw_436),
                   TF_UNNAMED(S, field_438),
                   TF_UNNAMED(S, field_440),
                   TF_INT(S, experience_point_value),
                   TF_REFS(S, sound_tags),
                   TF_REF(S, projectile_group_tag_484),
                   TF_REF(S, projectile_group_tag_488),
                   TF_REF(S, ammunition_tag),
                   TF_UNNAMED(S, field_496),
                   TF_INT(S, combined_power),
                   TF_INT(S, longest_range),
                   TF_INT(S, cost),
                   TF_RAW(S, raw_504),
                   TF_RAW(S, raw_514),
                   TF_REF(S, projectile_group_tag_516),
                   TF_REF(S, local_projectile_group_tag),
                   TF_REF(S, string_list_tag_524),
                   TF_REF(S, projectile_group_tag_528),
                   TF_INT(S, maximum_mana),
                   TF_INT(S, mana_recharge_rate),
                   TF_INT(S, berserk_system_shock),
                   TF_INT(S, berserk_vitality),
                   TF_REF(S, collection_tag_540),
                   TF_INT(S, kills_for_maximum_experience_bonus),
                   TF_INT(S, experience_bonus_size),
                   TF_INT(S, experience_bonus_radius),
                   TF_INT(S, blocking_fraction),
                   TF_UNNAMED(S, field_552),
                   TF_RAW(S, raw_556),
                   TF_RAW(S, raw_970),
                   TF_RAW(S, raw_976),
                   TF_RAW(S, raw_996)});
}

field_list AmbientSound()
{
    using S = ambient_sound_definition;
    return Fields({TF_INT(S, flags), TF_UNNAMED(S, field_4), TF_UNNAMED(S, field_6), TF_UNNAMED(S, field_8),
                   TF_UNNAMED(S, field_10), TF_REFS(S, sound_tags), TF_UNNAMED(S, field_36), TF_RAW(S, raw_38),
                   TF_RAW(S, raw_48), TF_RAW(S, raw_60)});
}

field_list Artifact()
{
    using S = artifact_definition;
    return Fields({TF_INT(S, flags), TF_UNNAMED(S, field_4), TF_UNNAMED(S, field_8), TF_UNNAMED(S, field_10),
                   TF_UNNAMED(S, field_12), TF_RAW(S, raw_14), TF_REF(S, collection_tag), TF_UNNAMED(S, field_20),
                   TF_REFS(S, projectile_tags), TF_UNNAMED(S, field_44), TF_UNNAMED(S, field_48),
                   TF_UNNAMED(S, field_52), TF_RAW(S, raw_84), TF_REF(S, special_ability_string_list_tag),
                   TF_RAW(S, raw_152), TF_RAW(S, raw_156), TF_RAW(S, raw_160)});
}

field_list Connector()
{
    using S = connector_definition;
    return Fields({TF_INT(S, flags), TF_REF(S, collection_reference_tag), TF_UNNAMED(S, field_8),
                   TF_UNNAMED(S, field_10), TF_UNNAMED(S, field_12), TF_UNNAMED(S, field_14), TF_RAW(S, raw_16),
                   TF_RAW(S, raw_22)});
}

field_list CollectionReference()
{
    using S = collection_reference_definition;
    return Fields({TF_REF(S, collection_tag), TF_UNNAMED(S, field_4), TF_UNNAMED(S, field_6), TF_UNNAMED(S, field_8),
                   TF_UNNAMED(S, field_328), TF_UNNAMED(S, field_330), TF_UNNAMED(S, field_332),
                   TF_UNNAMED(S, field_334), TF_RAW(S, raw_336), TF_RAW(S, raw_372), TF_RAW(S, raw_374)});
}

field_list Formation()
{
    using S = formation_definition;
    return Fields({TF_UNNAMED(S, fields), TF_RAW(S, raw_38)});
}

field_list GameParameter()
{
    using S = game_parameter_definition;
    return Fields({TF_REFS(S, mesh_tags), TF_RAW(S, raw_12)});
}

field_list GlobalLight()
{
    using S = global_light_definition;
    return Fields({TF_UNNAMED(S, fields), TF_UNNAMED(S, fixed_fields)});
}

field_list Lightning()
{
    using S = lightning_definition;
    return Fields({TF_INT(S, flags), TF_REF(S, texture_stack_tag), TF_UNNAMED(S, field_8), TF_UNNAMED(S, field_12),
                   TF_UNNAMED(S, field_16), TF_UNNAMED(S, field_20), TF_UNNAMED(S, field_26), TF_RAW(S, raw_58)});
}

field_list LocalLight()
{
    using S = local_light_definition;
    return Fields({TF_UNNAMED(S, field_0), TF_UNNAMED(S, field_2), TF_UNNAMED(S, field_4), TF_UNNAMED(S, field_6),
                   TF_UNNAMED(S, field_8), TF_UNNAMED(S, field_12)});
}

field_list LocalProjectileGroup()
{
    using S = local_projectile_group_definition;
    return Fields({TF_INT(S, flags), TF_REF(S, graphic_tag), TF_REF(S, local_physics_tag), TF_UNNAMED(S, field_12),
                   TF_UNNAMED(S, field_16), TF_UNNAMED(S, field_28), TF_UNNAMED(S, field_44),
                   TF_UNNAMED(S, field_56), TF_UNNAMED(S, field_64), TF_RAW(S, raw_72),
                   TF_REF(S, local_projectile_group_tag), TF_REF(S, local_light_tag), TF_RAW(S, raw_88),
                   TF_RAW(S, raw_116)});
}

field_list MediaType()
{
    using S = media_type_definition;
    return Fields({TF_INT(S, flags), TF_REF(S, texture_stack_tag), TF_RAW(S, raw_8), TF_REFS(S, projectile_group_tags),
                   TF_UNNAMED(S, field_52), TF_UNNAMED(S, field_88), TF_REF(S, local_projectile_group_tag),
                   TF_UNNAMED(S, field_104), TF_UNNAMED(S, field_134), TF_RAW(S, raw_182), TF_RAW(S, raw_218),
                   TF_RAW(S, raw_224)});
}

field_list MeshEffect()
{
    using S = mesh_effect_definition;
    return Fields({TF_INT(S, flags), TF_UNNAMED(S, field_4), TF_REF(S, collection_reference_tag),
                   TF_UNNAMED(S, field_20), TF_RAW(S, raw_28)});
}

field_list MeshLighting()
{
    using S = mesh_lighting_definition;
    return Fields({TF_UNNAMED(S, field_0), TF_UNNAMED(S, field_28), TF_UNNAMED(S, field_30), TF_UNNAMED(S, field_32),
                   TF_RAW(S, raw_36)});
}

field_list Object()
{
    using S = object_definition;
    return Fields({TF_INT(S, flags), TF_UNNAMED(S, field_2), TF_UNNAMED(S, field_4), TF_UNNAMED(S, field_6),
                   TF_INT(S, maximum_vitality), TF_INT(S, maximum_vitality_delta), TF_INT(S, scale_lower_bound),
                   TF_INT(S, scale_delta), TF_INTS(S, effect_modifiers), TF_INT(S, minimum_damage),
                   TF_RAW(S, raw_50)});
}

field_list ObserverConstants()
{
    using S = observer_constants_definition;
    return Fields({TF_UNNAMED(S, fields), TF_RAW(S, raw_168)});
}

field_list ParticleSystem()
{
    using S = particle_system_definition;
    return Fields({TF_INT(S, flags), TF_REF(S, sprite_tag), TF_UNNAMED(S, field_8), TF_UNNAMED(S, field_20),
                   TF_UNNAMED(S, field_28), TF_UNNAMED(S, field_52), TF_UNNAMED(S, field_60),
                   TF_REF(S, ambient_sound_tag), TF_REF(S, local_projectile_group_tag), TF_UNNAMED(S, field_92),
                   TF_RAW(S, raw_102), TF_RAW(S, raw_122)});
}

field_list LocalPhysics()
{
    using S = local_physics_definition;
    return Fields({TF_INT(S, type), TF_RAW(S, raw_2), TF_RAW(S, raw_4)});
}

field_list ProjectileGroup()
{
    using S = projectile_group_definition;
    using P = projectile_group_part;
    field_list part = Fields({TF_REF(P, projectile_tag), TF_UNNAMED(P, field_4), TF_UNNAMED(P, field_8),
                              TF_UNNAMED(P, field_10), TF_UNNAMED(P, field_12), TF_UNNAMED(P, field_14),
                              TF_RAW(P, raw_16), TF_UNNAMED(P, field_20), TF_RAW(P, raw_22), TF_RAW(P, raw_30)});
    return Fields({TF_INT(S, flags), TF_INT(S, part_count), TF_RAW(S, raw_6), TF_REF(S, mesh_effect_tag),
                   TF_REF(S, sound_tag), TF_REF(S, local_projectile_group_tag), TF_RAW(S, raw_20), TF_RAW(S, raw_26),
                   TF_RECORDS(S, parts, part)});
}

field_list Projectile()
{
    using S = projectile_definition;
    return Fields({TF_INT(S, flags),
                   TF_REF(S, collection_tag),
                   TF_UNNAMED(S, field_8),
                   TF_UNNAMED(S, field_14),
                   TF_REF(S, projectile_group_tag),
                   TF_REF(S, contrail_tag),
                   TF_UNNAMED(S, field_24),
                   TF_UNNAMED(S, field_26),
                   TF_REF(S, object_tag),
                   TF_INT(S, inertia_lower_bound),
                   TF_INT(S, inertia_delta),
                   TF_INT(S, random_initial_velocity),
                   TF_INT(S, volume),
                   TF_INT(S, tracking_priority),
                   TF_UNNAMED(S, field_42),
                   TF_INT(S, detonation_frequency),
                   TF_INT(S, media_detonation_frequency),
                   TF_INT(S, detonation_velocity),
                   TF_UNNAMED(S, field_50),
                   TF_REF(S, lightning_tag),
                   TF_RAW(S, raw_56),
                   TF_REFS(S, sound_tags),
                   TF_UNNAMED(S, field_76),
                   TF_INT(S, guided_turning_speed),
                   TF_REF(S, projectile_tag_92),
                   TF_REF(S, projectile_group_tag_96),
                   TF_REF(S, texture_stack_tag_100),
                   TF_INT(S, damage_type),
                   TF_INT(S, damage_flags),
                   TF_INT(S, damage_lower_bound),
                   TF_INT(S, damage_delta),
                   TF_INT(S, radius_lower_bound),
                   TF_INT(S, radius_delta),
                   TF_INT(S, rate_of_expansion),
                   TF_INT(S, damage_to_velocity),
                   TF_REF(S, artifact_tag),
                   TF_REF(S, projectile_group_tag_124),
                   TF_REF(S, texture_stack_tag_128),
                   TF_UNNAMED(S, field_132),
                   TF_UNNAMED(S, field_134),
                   TF_REF(S, local_projectile_group_tag),
                   TF_UNNAMED(S, field_140),
                   TF_RAW(S, raw_142),
                   TF_INT(S, model_kind),
                   TF_RAW(S, raw_146),
                   TF_RAW(S, raw_150),
                   TF_RAW(S, raw_220),
                   TF_RAW(S, raw_240)});
}

field_list Scenery()
{
    using S = scenery_definition;
    return Fields({TF_INT(S, flags), TF_REF(S, collection_reference_tag), TF_REF(S, object_tag),
                   TF_REF(S, projectile_tag), TF_UNNAMED(S, field_16), TF_UNNAMED(S, field_18), TF_RAW(S, raw_20),
                   TF_REFS(S, projectile_group_tags), TF_UNNAMED(S, field_32), TF_UNNAMED(S, field_40),
                   TF_RAW(S, raw_46), TF_UNNAMED(S, field_52), TF_RAW(S, raw_54), TF_REFS(S, skeletal_model_tags),
                   TF_UNNAMED(S, field_64), TF_RAW(S, raw_68), TF_RAW(S, raw_106), TF_RAW(S, raw_112),
                   TF_RAW(S, raw_120)});
}

field_list Unit()
{
    using S = unit_definition;
    using R = unit_record;
    field_list record = Fields({TF_REF(R, texture_stack_tag), TF_UNNAMED(R, field_4), TF_UNNAMED(R, field_8)});
    return Fields({TF_REF(S, monster_tag), TF_UNNAMED(S, field_4), TF_RECORDS(S, records, record), TF_RAW(S, raw_104),
                   TF_RAW(S, raw_118), TF_RAW(S, raw_120), TF_RAW(S, raw_124)});
}

field_list Wind()
{
    using S = wind_definition;
    return Fields({TF_UNNAMED(S, fields), TF_RAW(S, raw_40), TF_RAW(S, raw_44), TF_RAW(S, raw_68)});
}

field_list SoundList()
{
    using S = sound_list;
    using E = sound_list_entry;
    field_list entry = Fields({TF_REF(E, sound), TF_RAW(E, unknown_4)});
    return Fields({TF_INT(S, count), TF_RAW(S, unknown_2), TF_RECORDS(S, sounds, entry)});
}

#undef TF_INT
#undef TF_INTS
#undef TF_REF
#undef TF_REFS
#undef TF_BYTES
#undef TF_RAW
#undef TF_UNNAMED
#undef TF_RECORDS

// Marks the bytes the fields cover; each byte must be covered once.
void Cover(const field_list& fields, uint32_t base, uint32_t end, std::vector<uint8_t>& covered)
{
    for (const text_field& f : fields) {
        uint32_t elements = f.count ? f.count : 1;
        uint32_t start = base + f.offset;
        PROGRAM_ASSERT(uint64_t(start) + uint64_t(f.size) * elements <= end, "tag_layout");
        for (uint32_t i = 0; i < elements; ++i) {
            uint32_t at = start + i * f.size;
            if (f.kind == text_field_kind::records) {
                Cover(f.fields, at, at + f.size, covered);
                continue;
            }
            for (uint32_t b = at; b < at + f.size; ++b) {
                PROGRAM_ASSERT(!covered[b], "tag_layout");
                covered[b] = 1;
            }
        }
    }
}

text_layout Layout(tag_code type, uint32_t size, field_list fields)
{
    std::vector<uint8_t> covered(size, 0);
    Cover(fields, 0, size, covered);
    for (uint8_t c : covered) PROGRAM_ASSERT(c, "tag_layout");
    return {type, size, std::move(fields)};
}

struct layout_table {
    std::map<tag_code, text_layout> layouts;
    text_layout monster_with_model;
    std::vector<tag_code> types;
};

template <class S>
void Add(layout_table& t, field_list fields)
{
    tag_code type = tag_struct_info<S>::type;
    t.layouts.emplace(type, Layout(type, sizeof(S), std::move(fields)));
}

const layout_table& Table()
{
    static const layout_table table = [] {
        layout_table t;
        Add<ambient_sound_definition>(t, AmbientSound());
        Add<artifact_definition>(t, Artifact());
        Add<connector_definition>(t, Connector());
        Add<collection_reference_definition>(t, CollectionReference());
        Add<formation_definition>(t, Formation());
        Add<game_parameter_definition>(t, GameParameter());
        Add<global_light_definition>(t, GlobalLight());
        Add<lightning_definition>(t, Lightning());
        Add<local_light_definition>(t, LocalLight());
        Add<local_projectile_group_definition>(t, LocalProjectileGroup());
        Add<media_type_definition>(t, MediaType());
        Add<mesh_effect_definition>(t, MeshEffect());
        Add<mesh_lighting_definition>(t, MeshLighting());
        Add<monster_definition>(t, Monster(false));
        Add<object_definition>(t, Object());
        Add<observer_constants_definition>(t, ObserverConstants());
        Add<particle_system_definition>(t, ParticleSystem());
        Add<local_physics_definition>(t, LocalPhysics());
        Add<projectile_group_definition>(t, ProjectileGroup());
        Add<projectile_definition>(t, Projectile());
        Add<scenery_definition>(t, Scenery());
        Add<unit_definition>(t, Unit());
        Add<wind_definition>(t, Wind());
        t.layouts.emplace("soli"_4cc, Layout("soli"_4cc, SOUND_LIST_SIZE, SoundList()));
        t.monster_with_model = Layout("mons"_4cc, sizeof(monster_definition), Monster(true));
        for (int i = 0; tag_type_by_index(i); ++i)
            if (t.layouts.count(tag_type_by_index(i))) t.types.push_back(tag_type_by_index(i));
        PROGRAM_ASSERT(t.types.size() == t.layouts.size(), "tag_layout");
        return t;
    }();
    return table;
}

} // namespace

const text_layout* text_layout_for(tag_code type, const uint8_t* data, uint32_t size)
{
    const layout_table& t = Table();
    auto found = t.layouts.find(type);
    if (found == t.layouts.end() || !data || size < found->second.size) return nullptr;
    if (type == "mons"_4cc && (read_be32(data) & MONSTER_HAS_3D_MODEL)) return &t.monster_with_model;
    return &found->second;
}

uint32_t text_layout_size(tag_code type)
{
    const layout_table& t = Table();
    auto found = t.layouts.find(type);
    return found == t.layouts.end() ? 0 : found->second.size;
}

const std::vector<tag_code>& text_layout_types()
{
    return Table().types;
}

int64_t read_text_field_value(const text_field& f, const uint8_t* p)
{
    if (f.size == 2) return f.is_signed ? int64_t(int16_t(read_be16(p))) : int64_t(read_be16(p));
    return f.is_signed ? int64_t(int32_t(read_be32(p))) : int64_t(read_be32(p));
}

void write_text_field_value(const text_field& f, uint8_t* p, int64_t value)
{
    if (f.size == 2) write_be16(p, uint16_t(value));
    else write_be32(p, uint32_t(value));
}

int64_t text_field_minimum(const text_field& f)
{
    if (!f.is_signed) return 0;
    return f.size == 2 ? INT16_MIN : INT32_MIN;
}

int64_t text_field_maximum(const text_field& f)
{
    if (f.size == 2) return f.is_signed ? INT16_MAX : UINT16_MAX;
    return f.is_signed ? INT32_MAX : UINT32_MAX;
}
