#include <cstring>
#include <filesystem>

#include "script/script_run.h"
#include "script/unit_stats_access.h"
#include "script_test_support.h"
#include "sound/sound_import.h"
#include "sound/wav_file.h"
#include "tags/tag_types.h"

namespace {

using Commands = ScriptTest;

bytes Text(const std::string& s)
{
    return bytes(s.begin(), s.end());
}

// 300 frames of a ramp.
void WriteWav(const std::string& path, uint32_t rate = 22050, uint16_t bits = 16)
{
    bytes samples(300 * bits / 8);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = uint8_t(i * 7);
    write_file(path, make_wav_image(1, rate, bits, samples));
}

tag_entry* MakeSound(tag_file* f, const char* id)
{
    sound_creation_record r{};
    std::strcpy(r.name, id);
    r.tag = code(id);
    r.loudness = 1;
    r.volume_max = 1;
    EXPECT_TRUE(create_sound_tag(f, r));
    return tag_find_in_file(f, code("soun"), code(id));
}

std::vector<uint16_t> SkipFractions(tag_entry* e)
{
    TSoundDefinition sound;
    EXPECT_TRUE(read_sound_definition(sound, e));
    std::vector<uint16_t> skips;
    for (int i = 0; i < sound.PermutationCount(); ++i) skips.push_back(sound.fPermutations[i].skip_fraction);
    return skips;
}

// The bytes of a, except n bytes at offset, are those of b.
void ExpectSameExcept(const bytes& a, const bytes& b, size_t offset, size_t n)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        if (i >= offset && i < offset + n) continue;
        EXPECT_EQ(a[i], b[i]) << "byte " << i;
    }
}

} // namespace

TEST_F(Commands, ExportedStatisticsReadBackUnchanged)
{
    tag_file* f = NewFile("units.tag");
    monster_definition monster = known_monster();
    monster.hard_death_system_shock = 5; // finer than four digits carry
    tag_entry* m = Add(f, "mons", "grnt", "grunt", tag_struct_bytes(monster));
    tag_entry* o = Add(f, "obje", "box_", "box", tag_struct_bytes(known_object()));
    tag_entry* p = Add(f, "proj", "fire", "fire ball", tag_struct_bytes(known_projectile()));
    bytes mons = Data(m), obje = Data(o), proj = Data(p);

    std::string stats = folder / "stats.txt";
    EXPECT_EQ(Run("create_monster_stats " + stats + "\ntype mons tag grnt\ntype obje tag box_\ntype proj tag fire"), "");
    EXPECT_EQ(Run(read_text(stats)), "(replace_monster_stats) updating data for tag mons/grnt\n"
                                     "(replace_monster_stats) updating attack index 0 for tag mons/grnt\n"
                                     "(replace_monster_stats) updating attack index 1 for tag mons/grnt\n"
                                     "(replace_monster_stats) updating data for tag obje/box_\n"
                                     "(replace_monster_stats) updating data for tag proj/fire\n");
    EXPECT_TRUE(f->needupdate);
    ExpectSameExcept(Data(m), mons, 412, 2);
    EXPECT_EQ(be16(Data(m), 412), 7); // 0.0001 of 65535
    EXPECT_EQ(Data(o), obje);
    // A damage range of one value reads back as the empty range: both give the lower bound.
    ExpectSameExcept(Data(p), proj, 110, 2);
    EXPECT_EQ(be16(Data(p), 110), 0);
}

TEST_F(Commands, TextChangesOnlyTheFlagsItNames)
{
    tag_file* f = NewFile("units.tag");
    monster_definition monster = known_monster();
    monster.flags = 0x800000 | 0x4;
    tag_entry* m = Add(f, "mons", "grnt", "grunt", tag_struct_bytes(monster));
    object_definition object = known_object();
    for (int i = 0; i < NUMBER_OF_EFFECT_MODIFIERS; ++i) object.effect_modifiers[i] = int16_t(100 + i);
    tag_entry* o = Add(f, "obje", "box_", "box", tag_struct_bytes(object));
    tag_entry* p = Add(f, "proj", "fire", "fire ball", tag_struct_bytes(known_projectile()));
    bytes mons = Data(m);

    std::string mons_fields = "small 0.5 89.98 1.0 0.2 0.1 1.5 42 10.0 7 -3 0.5 10.0 0.004 0.0 1.0 12 3 -1.0 0.75 "
                              "2.0 1.5 0.195 3 6 9 0.586 -1 0.501961 0 0 0 0 0 0 0 0 0 0 0 0 0 0";
    Run("replace_monster_stats\n"
        "mons grnt " + mons_fields + " flies has_3d_model\n"
        "obje box_ 1 1 1 1 0 - 0.5 0.25 -1\n"
        "proj fire 1 0 0.5 - large 0.5 0.5 -0.5 - 77 5 180 fire 2 2 2 4 0.1 0 - -\n");

    monster_stats ms;
    ASSERT_TRUE(get_monster_stats(m, ms));
    EXPECT_EQ(ms.flags, 0x800000u | 0x8 | 0x200000);
    // The attack sequences keep their stored bytes though the 3D model bit changed.
    bytes now = Data(m);
    for (int a = 0; a < MAXIMUM_ATTACKS_PER_MONSTER; ++a)
        EXPECT_TRUE(std::equal(now.begin() + 152 + 64 * a, now.begin() + 184 + 64 * a, mons.begin() + 152 + 64 * a));

    object_stats os;
    ASSERT_TRUE(get_object_stats(o, os));
    EXPECT_EQ(os.flags, 0x100);
    const int16_t modifiers[NUMBER_OF_EFFECT_MODIFIERS] = {128, 64, -256, 0, 0, 0, 0, 0, 0, 109, 110, 111, 112, 113, 114, 115};
    for (int i = 0; i < NUMBER_OF_EFFECT_MODIFIERS; ++i) EXPECT_EQ(os.effect_modifiers[i], modifiers[i]) << "slot " << i;
    EXPECT_EQ(be16(Data(o), 2), 0x55); // a field the text does not carry

    projectile_stats ps;
    ASSERT_TRUE(get_projectile_stats(p, ps));
    EXPECT_EQ(ps.flags, 0x400u | 0x1000);
    EXPECT_EQ(ps.damage_flags, 0x8);
    EXPECT_EQ(ps.guided_turning_speed, 1092);
}

TEST_F(Commands, AReadOnlyMonsterSkipsItsAttackLines)
{
    tag_file* ro = NewFile("ro.tag");
    tag_entry* m = Add(ro, "mons", "grnt", "grunt", tag_struct_bytes(known_monster()));
    ro->read_only = true;
    tag_file* f = NewFile("units.tag");
    Add(f, "proj", "fire", "fire ball", tag_struct_bytes(known_projectile()));
    bytes before = Data(m);
    std::string attack = "1 10 2 0.25 2 3 0.5 0 1.5 -0.5 0.5 -";
    std::string monster = "small 0.5 90 1 0.2 0.1 1.5 42 10 7 -3 0.5 10 0.004 0 1 12 3 -1 0.75 2 1.5 0.195 3 6 9 "
                          "0.586 -1 0.5 0 0 0 0 0 0 0 0 0 0 0 0 0 0 -";
    EXPECT_EQ(Run("replace_monster_stats\n"
                  "mons grnt " + monster + "\n"
                  "attk grnt 0 " + attack + "\nattk grnt 1 " + attack + "\n"
                  "proj fire 1 0 0.5 large 0.5 0.5 -0.5 77 5 180 fire 2 2 2 4 0.1 0\n"
                  "attk zzzz 0 " + attack + "\n"
                  "mons miss " + monster + "\n"),
              "(replace_monster_stats) skipping readonly file ro.tag\n"
              "(replace_monster_stats) updating data for tag proj/fire\n"
              "(replace_monster_stats) couldn't load tag attk/zzzz\n"
              "(replace_monster_stats) couldn't load tag mons/miss\n");
    EXPECT_EQ(Data(m), before);
}

TEST_F(Commands, ReplaceSoundsLimitsAndWarnings)
{
    for (const char* name : {"a", "b", "c", "d", "e", "f"}) WriteWav(folder / (name + std::string(".wav")));
    WriteWav(folder / "low.wav", 22050, 8);
    WriteWav(folder / "fast.wav", 44100);
    tag_file* f = NewFile("sounds.tag");
    for (const char* id : {"bell", "solo", "hund", "bad_", "fast", "miss"}) MakeSound(f, id);
    std::string d = folder.path() + "/";
    std::string log = Run("replace_sounds\n"
                          "tag bell " + d + "a.wav 0 " + d + "b.wav 10 " + d + "c.wav 20 " + d + "d.wav 30 " + d +
                          "e.wav 40 " + d + "f.wav 50\n"
                          "tag solo " + d + "a.wav 50\n"
                          "tag hund " + d + "a.wav 100 " + d + "b.wav 100\n"
                          "tag nope " + d + "a.wav 0\n"
                          "tag bad_ " + d + "a.wav 0 " + d + "low.wav 0 " + d + "b.wav 0\n"
                          "tag fast " + d + "fast.wav 0\n"
                          "tag miss " + d + "missing.wav 0\n");
    EXPECT_EQ(log, "script line 2: (replace_sounds) tried to add too many permutations, skipping\n"
                   "WARNING: script line 4: (replace_sounds) skip_percentage was 100.0\n"
                   "WARNING: script line 4: (replace_sounds) skip_percentage was 100.0\n"
                   "script line 6: (replace_sounds) failed on permutation 1 (sound not 16 bit)\n"
                   "script line 7: (replace_sounds) failed on permutation 0 (sound not 22khz)\n"
                   "script line 8: (replace_sounds) failed on permutation 0\n");
    auto sound = [&](const char* id) { return tag_find_in_file(f, code("soun"), code(id)); };
    EXPECT_EQ(SkipFractions(sound("bell")), (std::vector<uint16_t>{0, 6554, 13107, 19661, 26214}));
    EXPECT_EQ(SkipFractions(sound("solo")), std::vector<uint16_t>{0}); // one pair: no skipping
    EXPECT_EQ(SkipFractions(sound("hund")), (std::vector<uint16_t>{65535, 65535}));
    EXPECT_EQ(SkipFractions(sound("bad_")).size(), 1u);
    EXPECT_TRUE(SkipFractions(sound("fast")).empty());
    EXPECT_TRUE(SkipFractions(sound("miss")).empty());
}

TEST_F(Commands, BuildMonolithicTakesTheFirstFileListed)
{
    tag_file* one = NewFile("one.tag");
    Add(one, "stli", "abcd", "first", Text("first"));
    Add(one, "stli", "only", "one only", Text("one"));
    store.save_tag_file(one);
    tag_file* two = NewFile("two.tag");
    Add(two, "stli", "abcd", "second", Text("second"));
    Add(two, "text", "extr", "extra", Text("extra"));
    store.save_tag_file(two);
    bytes saved_one = read_file(folder / "one.tag");

    std::string out = folder / "out.tag";
    EXPECT_EQ(Run("build_monolithic " + out + "\nfile " + one->path + " " + two->path + "\nfile " + two->path +
                  "\nfile " + folder / "missing.tag"),
              "script line 4: (build_monolithic) failed on copy\n");
    std::vector<stored_tag> tags = read_tags(out);
    ASSERT_EQ(tags.size(), 3u);
    for (const stored_tag& t : tags) {
        if (t.id == "abcd") EXPECT_EQ(t.data, Text("first"));
        else EXPECT_TRUE(t.id == "only" || t.id == "extr") << t.id;
    }
    EXPECT_EQ(be16(read_file(out), 0), 3); // a foundation file

    // A file the store has open is not written over.
    EXPECT_EQ(Run("build_monolithic " + one->path + "\nfile " + two->path),
              "(build_monolithic) " + one->path + " is an open tag file and was not replaced\n"
              "(build_monolithic) output file failed to write\n");
    EXPECT_EQ(read_file(folder / "one.tag"), saved_one);
}

TEST_F(Commands, ExportRawWritesTheTagAsItStands)
{
    tag_file* f = NewFile("data.tag");
    tag_entry* e = Add(f, "skan", "walk", "walking", make_bytes(300, 7));
    tag_set_version(e, 1);
    std::string out = folder / "walk.tag";
    EXPECT_EQ(Run("export_raw\ntype skan tag walk " + out + "\ntype skan tag miss " + folder / "x.tag"),
              "script line 3: (export_raw) could not find skan/miss - nothing written\n");
    std::vector<stored_tag> tags = read_tags(out);
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0].name, "walking");
    EXPECT_EQ(tags[0].version, 1);
    EXPECT_EQ(tags[0].data, make_bytes(300, 7));
    EXPECT_FALSE(std::filesystem::exists(folder / "x.tag"));
    EXPECT_EQ(store.file_count(), 1u); // the scratch file is released
}

TEST_F(Commands, TextExportAndImport)
{
    tag_file* f = NewFile("text.tag");
    Add(f, "stli", "abcd", "lines", Text("one\r\ntwo\rthree\n"));
    Add(f, "stli", "empt", "empty", {});
    Add(f, "rawd", "raw_", "raw", Text("raw"));
    Add(f, "text", "big_", "big", bytes(EXPORT_TEXT_BUFFER_SIZE + 1, 'x'));
    std::string d = folder.path() + "/";
    EXPECT_EQ(Run("export_text\ntype stli tag abcd " + d + "a.txt\ntype stli tag empt " + d + "e.txt\n"
                  "type rawd tag raw_ " + d + "r.txt\ntype text tag big_ " + d + "b.txt\n"
                  "type stli tag miss " + d + "m.txt\n"),
              "script line 4: (export_text) the tag type to export from was not recognized\n"
              "script line 5: (export_text) text/big_ holds more than 32768 bytes - nothing written\n"
              "script line 6: (export_text) could not find tag stli/miss\n");
    EXPECT_EQ(read_text(d + "a.txt"), "one\ntwo\nthree\n");
    EXPECT_TRUE(std::filesystem::exists(d + "e.txt"));
    EXPECT_EQ(read_text(d + "e.txt"), "");
    EXPECT_FALSE(std::filesystem::exists(d + "r.txt") || std::filesystem::exists(d + "b.txt"));

    write_text(d + "in.txt", "alpha\r\nbeta\n");
    write_text(d + "zero.txt", "");
    write_text(d + "large.txt", std::string(16385, 'y'));
    write_text(d + "full.txt", std::string(16384, 'z'));
    std::string out = d + "imported.tag";
    EXPECT_EQ(Run("import_text " + out + "\ntype stli tag in__ \"greek letters\" " + d + "in.txt\n"
                  "type stli tag zero zero " + d + "zero.txt\ntype text tag none none " + d + "none.txt\n"
                  "type text tag larg large " + d + "large.txt\ntype text tag full full " + d + "full.txt\n"),
              "script line 3: (import_text) couldn't read file " + d + "zero.txt\n"
              "script line 4: (import_text) couldn't open file " + d + "none.txt\n"
              "script line 5: (import_text) file " + d + "large.txt holds more than 16384 bytes - not imported\n");
    std::vector<stored_tag> tags = read_tags(out);
    ASSERT_EQ(tags.size(), 2u);
    for (const stored_tag& t : tags) {
        if (t.id == "in__") {
            EXPECT_EQ(t.name, "greek letters");
            EXPECT_EQ(t.data, Text("alpha\nbeta\n"));
            EXPECT_EQ(t.version, tag_type_version(code("stli")));
        } else {
            EXPECT_EQ(t.id, "full");
            EXPECT_EQ(t.data.size(), 16384u);
        }
    }
    EXPECT_EQ(be16(read_file(out), 0), 1); // a plugin file
    EXPECT_EQ(store.file_count(), 1u);
}

TEST_F(Commands, DumpNamesListsEveryOpenFile)
{
    tag_file* a = NewFile("a.tag");
    Add(a, "stli", "one_", "first", Text("1"));
    Add(a, "stli", "two_", "second", Text("2"));
    tag_file* b = NewFile("b.tag");
    Add(b, "stli", "thr_", "third", Text("3"));
    Add(b, "text", "note", "not listed", Text("n"));
    std::string d = folder.path() + "/";
    EXPECT_EQ(Run("dump_names\ntype stli file " + d + "names.txt\ntype zzzz file " + d + "none.txt\n"
                  "type stli file " + d + "no/such/folder.txt"),
              "script line 4: (dump_names) couldn't open output file " + d + "no/such/folder.txt\n");
    EXPECT_EQ(read_text(d + "names.txt"), "thr_:third\none_:first\ntwo_:second\n");
    EXPECT_EQ(read_text(d + "none.txt"), "");
}

TEST_F(Commands, CreateSoundsMakesAPluginFile)
{
    tag_file* f = NewFile("sounds.tag");
    MakeSound(f, "clic");
    std::string out = folder / "made.tag";
    EXPECT_EQ(Run("create_sounds " + out + "\n"
                  "soun \"big bell\" bell 3 stli 2 50 1 0.9 1.1 0.8 1 5\n"
                  "soun click ____ 1 ____ 1 100 1 1 1 0 1 0\n"),
              "");
    std::vector<stored_tag> tags = read_tags(out);
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_EQ(be16(read_file(out), 0), 1);
    // The new file comes first in lookups; the id made from "click" is free among open sounds.
    tag_entry* bell = store.find_tag(code("soun"), code("bell"));
    tag_entry* click = store.find_tag(code("soun"), code("clid"));
    ASSERT_TRUE(bell && click);
    EXPECT_EQ(bell->file, click->file);
    EXPECT_STREQ(bell->name, "big bell");
    TSoundDefinition sound;
    ASSERT_TRUE(read_sound_definition(sound, bell));
    EXPECT_EQ(sound.fDefinition.loudness, 2);
    EXPECT_EQ(sound.fDefinition.subtitle_stringlist, code("stli"));
    EXPECT_EQ(sound.fDefinition.subtitle_index, 1);
    EXPECT_EQ(sound.fDefinition.flags, 5u);
    ASSERT_TRUE(read_sound_definition(sound, click));
    EXPECT_EQ(sound.fDefinition.subtitle_stringlist, 0u);

    EXPECT_EQ(Run("create_sounds " + f->path + "\nsoun x ____ 1 ____ 1 100 1 1 1 0 1 0"),
              "(create_sounds) " + f->path + " is an open tag file and was not replaced\n"
              "script line 2: (create_sounds) could not write tag file\n");
}

TEST_F(Commands, ReplaceModelsTriesEveryFileOfTheLine)
{
    tag_file* f = NewFile("models.tag");
    tag_entry* e = Add(f, "skmd", "figr", "figure", make_bytes(64, 3));
    std::string d = folder.path() + "/";
    EXPECT_EQ(Run("replace_models\ntag figr " + d + "a.skl " + d + "b.skl " + d + "c.skl\ntag nope " + d + "a.skl"),
              "script line 2: (replace_models) failed on permutation 0\n"
              "script line 2: (replace_models) failed on permutation 1\n"
              "script line 2: (replace_models) failed on permutation 2\n");
    EXPECT_EQ(Data(e), make_bytes(64, 3));
}
