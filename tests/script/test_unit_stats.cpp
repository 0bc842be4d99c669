#include "script/flag_names.h"
#include "script_test_support.h"

namespace {

using UnitStats = ScriptTest;

// A mons line without flags: 27 fields and 16 movement modifiers.
const std::string kMonsterFields = "large 0.5 90 1 0.2 0.1 1.5 42 10 7 -3 0.5 10 0.004 0 1 12 3 -1 0.75 2 1.5 0.195 3 6 9 "
                                   "0.586 -1 0.5 0 0 0 0 0 0 0 0 0 0 0 0 0 -1";
const std::string kAttackFields = "1 1 10 2 0.25 2 3 0.5 0 1.5 -0.5 0.5";
const std::string kObjectFields = "10 11.996 1 1 -0.25";
const std::string kProjectileFields = "1 0 0.5 large 0.5 0.5 -0.5 77 5 180 fire 2 2 2 4 0.1 0";
const std::string kSoundFields = "\"big bell\" bell 3 ____ 1 100 1 0.9 1.1 0.8 1 0";

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    size_t at = 0;
    while ((at = text.find_first_not_of(' ', at)) != std::string::npos) {
        size_t end = text[at] == '"' ? text.find('"', at + 1) + 1 : text.find(' ', at);
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

std::string Joined(const std::vector<std::string>& words, size_t count)
{
    std::string text;
    for (size_t i = 0; i < count; ++i) text += " " + words[i];
    return text;
}

const std::string kHead = "replace_monster_stats // (don't change this)\n// tag type\ttag id\n\n";

} // namespace

TEST_F(UnitStats, ExportedTextIsExact)
{
    tag_file* f = NewFile("units.tag");
    Add(f, "mons", "grnt", "grunt", tag_struct_bytes(known_monster()));
    Add(f, "obje", "box_", "box", tag_struct_bytes(known_object()));
    Add(f, "obje", "bare", "bare", tag_struct_bytes(object_definition{}));
    Add(f, "proj", "fire", "fire ball", tag_struct_bytes(known_projectile()));
    std::string out = folder / "stats.txt";
    std::string log = Run("create_monster_stats " + out +
                          "\ntype mons tag grnt\ntype obje tag box_\ntype obje tag bare\ntype proj tag fire\n"
                          "type soun tag grnt\ntype mons tag miss\ntype proj tag miss\n");
    EXPECT_EQ(log, "script line 7: (create_monster_stats) monster tag export failed\n"
                   "script line 8: (create_monster_stats) projectile tag export failed\n");
    std::string zeros;
    for (int i = 0; i < 14; ++i) zeros += "0.000000\t";
    EXPECT_EQ(read_text(out),
              kHead + "// grunt\n"
                      "mons\tgrnt\tsmall\t0.5\t89.98\t1.0\t0.2\t0.1\t1.5\t42\t10.0\t7\t-3\t0.5\t10.0\t0.004\t0.0\t1.0\t12\t3\t"
                      "-1.0\t0.75\t2.0\t1.5\t0.195\t3\t6\t9\t0.586\t-1\t0.501961\t" +
                  zeros +
                  "floats flies \n"
                  "attk\tgrnt\t0\t1.0\t10.0\t2\t0.25\t2.0\t3.0\t0.5\t0.0\t1.500000\t-0.500000\t0.5\t"
                  "is_indirect is_primary_attack vs_small_sized \n"
                  "attk\tgrnt\t1\t0.0\t0.0\t0\t0.0\t0.0\t0.0\t0.0\t0.0\t0.000000\t0.000000\t0.0\t-\n//\n"
                  "obje\tbox_\t10.0\t11.996\t1.0\t1.0\t-0.25\tdraw_vitality ignore_collisions \t1.0\t-0.5\t0.0\t0.0\t"
                  "0.0\t0.0\t0.0\t0.0\t0.004\n//\n"
                  "obje\tbare\t0.0\t0.0\t0.0\t0.0\t0.0\t-\t\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0\n//\n"
                  "proj\tfire\t1.0\t0.0\t0.5\twhen_transfer_loops \tlarge\t0.5\t0.5\t-0.5\taffected_by_wind \t77\t5\t"
                  "179.96\tfire\t2.0\t2.0\t2.0\t4.0\t0.1\t0.0\tarea_of_effect cannot_be_healed \t"
                  "is_guided \"has sprite contrail\" \n//\n");
}

TEST_F(UnitStats, MonsterLineIsEncoded)
{
    const script_definition& d = Parsed("replace_monster_stats\nmons warr " + kMonsterFields + " FLOATS - flies\n" +
                                        // whole numbers as spreadsheets write them: the whole part counts
                                        "mons ghol none 0 0 0 0 0 0 12.5 0 0 -7.9 0 0 0 0 0 0 0 0 0 0 0 0 3.0 3 0 0" +
                                        " -1.0 1 2 -0.5 0 0 0 0 0 0 0 0 0 0 0 0\n");
    ASSERT_EQ(d.entry_count(), 2);
    const script_entry& e = d.entries[0];
    EXPECT_EQ(e.type, code("mons"));
    EXPECT_EQ(e.tag, code("warr"));
    const monster_stats& s = e.value.mons;
    EXPECT_EQ(s.desired_projectile_volume, 2);
    EXPECT_EQ(s.left_handed_fraction, 32768);
    EXPECT_EQ(s.turning_speed, 546); // 16384 a second, a thirtieth of it truncated
    EXPECT_EQ(s.hard_death_system_shock, 65535);
    EXPECT_EQ(s.healing_fraction, 384);
    EXPECT_EQ(s.longest_range, 5120);
    EXPECT_EQ(s.cost, -3);
    EXPECT_EQ(s.mana_recharge_rate, 1);
    EXPECT_EQ(s.experience_bonus_radius, -512);
    EXPECT_EQ(s.blocking_fraction, 49151);
    EXPECT_EQ(s.activation_distance, 100);
    EXPECT_EQ(s.initial_ammunition_lower_bound, 3);
    EXPECT_EQ(s.initial_ammunition_delta, 4);
    EXPECT_EQ(s.base_movement_speed, 300);
    EXPECT_EQ(s.movement_modifier_markers[0], 0xFF);
    EXPECT_EQ(s.movement_modifiers[0], 0);
    EXPECT_EQ(s.movement_modifier_markers[1], 0);
    EXPECT_EQ(s.movement_modifiers[1], 128);
    EXPECT_EQ(s.movement_modifier_markers[15], 0xFF);
    EXPECT_EQ(s.flags, 0xCu);
    EXPECT_EQ(s.keep_mask, ~0x7FFFFFu);

    const monster_stats& g = d.entries[1].value.mons;
    EXPECT_EQ(g.desired_projectile_volume, -1);
    EXPECT_EQ(g.combined_power, 12);
    EXPECT_EQ(g.cost, -7);
    EXPECT_EQ(g.initial_ammunition_lower_bound, 3);
    EXPECT_EQ(g.initial_ammunition_delta, 0);
    EXPECT_EQ(g.movement_modifier_markers[0], 0xFF);
    EXPECT_EQ(g.movement_modifiers[1], 255);
    EXPECT_EQ(g.movement_modifiers[2], 255); // clamped
    EXPECT_EQ(g.movement_modifiers[3], 0);
    EXPECT_EQ(g.flags, 0u);
}

TEST_F(UnitStats, OptionalListsEndWithTheirLine)
{
    const script_definition& d = Parsed("replace_monster_stats\n"
                                        "mons warr " + kMonsterFields + "\n"
                                        "obje body 1 1 1 1 0 draw_selection 0.5 -1 2\n"
                                        "obje wood 1 1 1 1 0\n"
                                        "proj arro " + kProjectileFields + "\n"
                                        "attk warr 1 " + kAttackFields.substr(2) + "\n"
                                        "proj bolt " + kProjectileFields + " - \"HAS SPRITE CONTRAIL\" is_guided\n");
    ASSERT_EQ(d.entry_count(), 6);
    EXPECT_EQ(d.entries[0].value.mons.flags, 0u);
    const object_stats& o = d.entries[1].value.obje;
    EXPECT_EQ(o.flags, 1);
    EXPECT_EQ(o.effect_modifiers[0], 128);
    EXPECT_EQ(o.effect_modifiers[1], -256);
    EXPECT_EQ(o.effect_modifiers[2], 512);
    EXPECT_EQ(o.effect_modifiers[3], 0);
    EXPECT_EQ(o.keep_mask, 0xFFF0);
    EXPECT_EQ(d.entries[2].value.obje.effect_modifiers[0], 0);
    EXPECT_EQ(d.entries[3].value.proj.flags, 0u);
    EXPECT_EQ(d.entries[3].value.proj.unnamed_integer, 77);
    EXPECT_EQ(d.entries[4].value.attk.attack_index, 1);
    EXPECT_EQ(d.entries[5].value.proj.flags, 0x400002u);
    EXPECT_EQ(d.entries[5].value.proj.damage_flags, 0);
}

TEST_F(UnitStats, MissingFieldsNameThemselves)
{
    struct line_kind {
        std::string keyword, fields;
        std::vector<std::string> missing; // what a line cut after each number of words lacks
    };
    const line_kind kinds[] = {
        {"mons", kMonsterFields,
         {"desired_projectile_volume", "left_handed_fraction", "turning_speed", "hard_death_system_shock",
          "flinch_system_shock", "absorbed_fraction", "healing_fraction", "combined_power", "longest_range",
          "experience_point_value", "cost", "pathfinding_radius", "maximum_mana", "mana_recharge_rate",
          "berserk_system_shock", "berserk_vitality", "kills_for_maximum_experience_bonus", "experience_bonus_size",
          "experience_bonus_radius", "blocking_fraction", "warning_distance", "critical_distance",
          "activation_distance", "initial_ammunition_lower_bound", "initial_ammunition_delta",
          "maximum_ammunition_count", "base_movement_speed", "movement_modifiers", "movement_modifiers",
          "movement_modifiers", "movement_modifiers", "movement_modifiers", "movement_modifiers",
          "movement_modifiers", "movement_modifiers", "movement_modifiers", "movement_modifiers",
          "movement_modifiers", "movement_modifiers", "movement_modifiers", "movement_modifiers",
          "movement_modifiers", "movement_modifiers"}},
        {"attk", kAttackFields,
         {"attack_index", "minimum_range", "maximum_range", "repetitions", "miss_fraction",
          "initial_velocity_lower_bound", "initial_velocity_delta", "initial_velocity_error",
          "velocity_improvement_with_experience", "recovery_time", "recovery_time_experience_delta", "mana_cost"}},
        {"obje", kObjectFields,
         {"maximum_vitality", "maximum_vitality_delta", "scale_lower_bound", "scale_delta", "minimum_damage"}},
        {"proj", kProjectileFields,
         {"detonation_frequency", "media_detonation_frequency", "detonation_velocity", "volume",
          "inertia_lower_bound", "inertia_delta", "random_initial_velocity", "tracking_priority", "tracking_priority",
          "guided_turning_speed", "damage_type", "damage_lower_bound", "damage_delta", "radius_lower_bound",
          "radius_delta", "rate_of_expansion", "damage_to_velocity"}},
        {"soun", kSoundFields,
         {"name", "tag", "loudness", "subtitle_stringlist", "subtitle_index", "play_fraction", "frequency_modifier",
          "pitch_min", "pitch_max", "volume_min", "volume_max", "flags"}},
    };
    for (const line_kind& kind : kinds) {
        std::vector<std::string> words = Words(kind.fields);
        ASSERT_EQ(words.size(), kind.missing.size()) << kind.keyword;
        std::string command = kind.keyword == "soun" ? "create_sounds out.tag\n" : "replace_monster_stats\n";
        std::string head = kind.keyword == "soun" ? "soun" : kind.keyword + " abcd";
        for (size_t cut = 0; cut < words.size(); ++cut)
            EXPECT_EQ(ErrorOf(command + "\n" + head + Joined(words, cut) + "\n" + head + " " + kind.fields),
                      "Line 3: (" + kind.missing[cut] + ") parameter was expected, none found")
                << kind.keyword << " cut after " << cut;
        EXPECT_TRUE(Parse(command + head + " " + kind.fields)) << script.error_text();
    }
    EXPECT_EQ(ErrorOf("replace_monster_stats\nmons"), "Line 2: 4 character tag code expected, none found");
    EXPECT_EQ(ErrorOf("replace_monster_stats\nobje ab 1"), "Line 2: the tag code is not the correct size");
}

TEST_F(UnitStats, BadValuesAreRefused)
{
    auto line = [&](const std::string& keyword, const std::string& fields) {
        std::string command = keyword == "soun" ? "create_sounds out.tag\n" : "replace_monster_stats\n";
        return ErrorOf(command + keyword + (keyword == "soun" ? " " : " abcd ") + fields);
    };
    EXPECT_EQ(line("proj", "1 0 0.5 when_animation_loops huge 0.5 0.5 -0.5 77 5 180 fire 2 2 2 4 0.1 0"),
              "Line 2: (volume) value not recognized: huge");
    EXPECT_EQ(line("proj", "1 0 0.5 large 0.5 0.5 -0.5 77 5 180 frost 2 2 2 4 0.1 0"),
              "Line 2: (damage_type) value not recognized: frost");
    EXPECT_EQ(line("proj", kProjectileFields + " area_of_effect has sprite contrail"),
              "Line 2: (flags) value not recognized: has");
    EXPECT_EQ(line("mons", "big" + kMonsterFields.substr(5)), "Line 2: (desired_projectile_volume) value not recognized: big");
    EXPECT_EQ(line("mons", kMonsterFields + " floats fliez"), "Line 2: (flags) value not recognized: fliez");
    EXPECT_EQ(line("attk", kAttackFields + " is_indirect floats"), "Line 2: (flags) value not recognized: floats");
    EXPECT_EQ(line("obje", kObjectFields + " draw_selection drawvitality"),
              "Line 2: (effect_modifiers) parameter is not a number");
    EXPECT_EQ(line("obje", kObjectFields + " - 1 2 3 4 5 6 7 8 9 10"),
              "Line 2: (effect_modifiers) too many values, at most 9");
    EXPECT_EQ(line("mons", "large 1,5" + kMonsterFields.substr(9)), "Line 2: (left_handed_fraction) parameter is not a number");
    EXPECT_EQ(line("mons", "large 0.5 90 1 0.2 0.1 1.5 many" + kMonsterFields.substr(27)),
              "Line 2: (combined_power) parameter is not a number");
    EXPECT_EQ(line("soun", "bell bell four ____ 1 100 1 1 1 0 1 0"), "Line 2: (loudness) parameter is not a number");
    EXPECT_EQ(line("mons", "large 0.5 90 1 0.2 0.1 1.5 42 64" + kMonsterFields.substr(28)),
              "Line 2: (longest_range) parameter out of range");
    EXPECT_EQ(line("mons", "large 0.5 -90" + kMonsterFields.substr(12)), "Line 2: (turning_speed) parameter out of range");
    EXPECT_EQ(line("attk", "4" + kAttackFields.substr(1)), "Line 2: (attack_index) parameter out of range (0-3)");
    EXPECT_EQ(line("obje", "10 9 1 1 -0.25"), "Line 2: (maximum_vitality_delta) parameter out of range (below the lower bound)");

    EXPECT_EQ(line("soun", "bell bell 5 ____ 1 100 1 1 1 0 1 0"),
              "Line 2: (loudness) parameter out of range, should be 1, 2, 3, or 4");
    EXPECT_EQ(line("soun", "bell bell 4 ____ 1 100.5 1 1 1 0 1 0"), "Line 2: (play_fraction) parameter out of range (0-100)");
    EXPECT_EQ(line("soun", "bell bell 4 ____ 1 -1 1 1 1 0 1 0"), "Line 2: (play_fraction) parameter out of range (0-100)");
    EXPECT_EQ(line("soun", "bell bell 4 ____ 1 100 1 1 1 -0.1 1 0"), "Line 2: (volume_min) parameter out of range (0-1)");
    EXPECT_EQ(line("soun", "bell bell 4 ____ 1 100 1 1 1 0 1.01 0"), "Line 2: (volume_max) parameter out of range (0-1)");
    EXPECT_EQ(line("soun", "bell bel 4 ____ 1 100 1 1 1 0 1 0"), "Line 2: (tag) the tag code is not the correct size");
    EXPECT_EQ(line("soun", "bell bell 4 stl 1 100 1 1 1 0 1 0"),
              "Line 2: (subtitle_stringlist) the tag code is not the correct size");
    EXPECT_EQ(line("soun", "bell bell 4 ____ 1 100 1 1.2 1.1 0 1 0"),
              "Line 2: (pitch_max) parameter out of range (below the lower bound)");
    EXPECT_EQ(line("soun", kSoundFields + " 7"), "Line 2: too many parameters");
}

TEST_F(UnitStats, SoundLineFillsItsRecord)
{
    const script_definition& d =
        Parsed("create_sounds out.tag\nsoun \"a name longer than thirty-one characters\" ____ 4 stli 2 100 1.5 0.9 1.1 "
               "0 1 4294967295\n");
    const sound_creation_record& r = d.entries[0].value.soun;
    EXPECT_EQ(std::string(r.name), "a name longer than thirty-one c");
    EXPECT_EQ(r.tag, NONE_TAG);
    EXPECT_EQ(r.loudness, 4);
    EXPECT_EQ(r.subtitle_stringlist, code("stli"));
    EXPECT_EQ(r.subtitle_index, 2);
    EXPECT_FLOAT_EQ(r.play_fraction, 100);
    EXPECT_FLOAT_EQ(r.frequency_modifier, 1.5f);
    EXPECT_FLOAT_EQ(r.pitch_max, 1.1f);
    EXPECT_EQ(r.flags, 0xFFFFFFFFu);
}
