#include "script_test_support.h"

#include <filesystem>

#include "tags/tag_types.h"

bool ScriptTest::Parse(const std::string& text)
{
    write_text(folder / "test.QSF", text);
    return script.load_script(folder / "test.QSF");
}

const script_definition& ScriptTest::Parsed(const std::string& text)
{
    bool parsed = Parse(text);
    EXPECT_TRUE(parsed) << script.error_text();
    if (!parsed) throw std::runtime_error("the script did not parse");
    return *script.definition();
}

std::string ScriptTest::ErrorOf(const std::string& text)
{
    EXPECT_FALSE(Parse(text)) << "parsed: " << text;
    EXPECT_EQ(script.definition(), nullptr);
    return script.error_text();
}

std::string ScriptTest::Run(const std::string& text)
{
    Parsed(text);
    std::string log = folder / "script_log.txt";
    std::filesystem::remove(log);
    script.set_log_path(log);
    EXPECT_TRUE(script.run_script(store));
    std::string lines = read_text(log);
    // Only what the commands logged, not the frame.
    size_t begin = lines.find("...\n");
    size_t end = lines.rfind("Finished with script");
    if (begin == std::string::npos || end == std::string::npos) return lines;
    return lines.substr(begin + 4, end - begin - 4);
}

tag_file* ScriptTest::NewFile(const std::string& name)
{
    return store.open_tag_file(folder / name, true);
}

tag_entry* ScriptTest::Add(tag_file* f, const char* type, const char* id, const char* name, const bytes& data)
{
    tag_code t = text_to_tag_code(type);
    return store.create_tag(f, t, text_to_tag_code(id), int16_t(tag_type_version(t)), name, 0, uint32_t(data.size()),
                            data.data());
}

bytes ScriptTest::Data(tag_entry* e)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    return data ? bytes(data, data + size) : bytes();
}

std::vector<stored_tag> read_tags(const std::string& path)
{
    TTagStore store;
    std::vector<stored_tag> tags;
    tag_file* f = store.open_tag_file(path, false);
    if (!f) return tags;
    for (tag_group* g = f->groups; g; g = g->next)
        for (tag_entry* e = g->entries; e; e = e->next) {
            uint32_t size = 0;
            const uint8_t* data = tag_get_data(e, &size);
            tags.push_back({tag_code_to_text(g->type), tag_code_to_text(e->id), e->name, e->version,
                            data ? bytes(data, data + size) : bytes()});
        }
    return tags;
}

monster_definition known_monster()
{
    monster_definition m{};
    tag_struct_defaults(m);
    m.flags = 0x4 | 0x8 | 0x800000;
    m.desired_projectile_volume = 1;
    m.left_handed_fraction = 32768;
    m.turning_speed = 546;
    m.hard_death_system_shock = 65535;
    m.flinch_system_shock = 13107;
    m.absorbed_fraction = 6554;
    m.healing_fraction = 384;
    m.combined_power = 42;
    m.longest_range = 5120;
    m.experience_point_value = 7;
    m.cost = -3;
    m.pathfinding_radius = 256;
    m.maximum_mana = 2560;
    m.mana_recharge_rate = 1;
    m.berserk_system_shock = 0;
    m.berserk_vitality = 65535;
    m.kills_for_maximum_experience_bonus = 12;
    m.experience_bonus_size = 3;
    m.experience_bonus_radius = -512;
    m.blocking_fraction = 49151;
    m.warning_distance = 1024;
    m.critical_distance = 768;
    m.activation_distance = 100;
    m.initial_ammunition_lower_bound = 3;
    m.initial_ammunition_delta = 4;
    m.maximum_ammunition_count = 9;
    m.base_movement_speed = 300;
    m.movement_modifier_markers[0] = 0xFF;
    m.movement_modifiers[1] = 128;
    m.attack_count = 2;
    monster_attack& a = m.attacks[0];
    a.flags_1 = 0x201;
    a.flags_2 = 0x2;
    a.miss_fraction = 16384;
    a.minimum_range = 512;
    a.maximum_range = 5120;
    a.sequences[1].field_2 = 0x1234;
    a.repetitions = 2;
    a.initial_velocity_lower_bound = 1024;
    a.initial_velocity_delta = 513;
    a.initial_velocity_error = 256;
    a.recovery_time = 45;
    a.recovery_time_experience_delta = -15;
    a.mana_cost = 128;
    m.attacks[2].repetitions = 99; // not in use
    return m;
}

object_definition known_object()
{
    object_definition o{};
    o.flags = 0x2 | 0x8 | 0x100;
    o.field_2 = 0x55;
    o.maximum_vitality = 2560;
    o.maximum_vitality_delta = 512;
    o.scale_lower_bound = 256;
    o.minimum_damage = -64;
    o.effect_modifiers[0] = 256;
    o.effect_modifiers[1] = -128;
    o.effect_modifiers[8] = 1;
    o.effect_modifiers[9] = 999;
    o.effect_modifiers[15] = -7;
    return o;
}

projectile_definition known_projectile()
{
    projectile_definition p{};
    p.flags = 0x10 | 0x40 | 0x2 | 0x400000 | 0x400 | 0x1000;
    p.collection_tag = code("clas");
    p.detonation_frequency = 65535;
    p.detonation_velocity = 256;
    p.volume = 2;
    p.inertia_lower_bound = 128;
    p.random_initial_velocity = -256;
    p.field_140 = 77;
    p.tracking_priority = 5;
    p.guided_turning_speed = 1092;
    p.damage_type = 9;
    p.damage_flags = 0x2 | 0x80 | 0x8;
    p.damage_lower_bound = 512;
    p.damage_delta = 1;
    p.radius_lower_bound = 1024;
    p.radius_delta = 1025;
    p.rate_of_expansion = 51;
    p.model_kind = 3;
    return p;
}
