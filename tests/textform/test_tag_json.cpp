#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "build/sample_data.h"
#include "sound/sound_list.h"
#include "support/tag_file_bytes.h"
#include "tags/gameplay/gameplay.h"
#include "tags/tag_types.h"
#include "textform/tag_json.h"
#include "textform/tag_layout.h"
#include "textform/text_codec.h"

namespace {

// What a tag gives back after going through its text.
tag_json_tag RoundTrip(tag_entry* e, std::string* text_out = nullptr)
{
    std::string text = tag_json_text(tag_to_json(e));
    if (text_out) *text_out = text;
    TTagJsonDocument document(text);
    EXPECT_EQ(document.type(), tag_get_type(e));
    EXPECT_EQ(document.id(), e->id);
    return document.Build(nullptr);
}

void ExpectSameTag(tag_entry* e, const tag_json_tag& t)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    ASSERT_TRUE(data);
    std::string what = tag_code_to_text(tag_get_type(e)) + "/" + tag_code_to_text(e->id);
    EXPECT_EQ(t.version, e->version) << what;
    EXPECT_EQ(t.name, std::string(e->name)) << what;
    EXPECT_EQ(t.data, bytes(data, data + size)) << what;
}

// The description each type's code converts its structure with: the oracle of the layouts.
const std::map<tag_code, const bs_code*>& Descriptions()
{
    static const std::map<tag_code, const bs_code*> codes = {
        {"amso"_4cc, tag_struct_info<ambient_sound_definition>::codes},
        {"arti"_4cc, tag_struct_info<artifact_definition>::codes},
        {"conn"_4cc, tag_struct_info<connector_definition>::codes},
        {"core"_4cc, tag_struct_info<collection_reference_definition>::codes},
        {"form"_4cc, tag_struct_info<formation_definition>::codes},
        {"game"_4cc, tag_struct_info<game_parameter_definition>::codes},
        {"glli"_4cc, tag_struct_info<global_light_definition>::codes},
        {"ligh"_4cc, tag_struct_info<lightning_definition>::codes},
        {"loli"_4cc, tag_struct_info<local_light_definition>::codes},
        {"lpgr"_4cc, tag_struct_info<local_projectile_group_definition>::codes},
        {"medi"_4cc, tag_struct_info<media_type_definition>::codes},
        {"meef"_4cc, tag_struct_info<mesh_effect_definition>::codes},
        {"meli"_4cc, tag_struct_info<mesh_lighting_definition>::codes},
        {"obje"_4cc, tag_struct_info<object_definition>::codes},
        {"obpc"_4cc, tag_struct_info<observer_constants_definition>::codes},
        {"part"_4cc, tag_struct_info<particle_system_definition>::codes},
        {"phys"_4cc, tag_struct_info<local_physics_definition>::codes},
        {"prgr"_4cc, tag_struct_info<projectile_group_definition>::codes},
        {"proj"_4cc, tag_struct_info<projectile_definition>::codes},
        {"scen"_4cc, tag_struct_info<scenery_definition>::codes},
        {"unit"_4cc, tag_struct_info<unit_definition>::codes},
        {"wind"_4cc, tag_struct_info<wind_definition>::codes},
        {"soli"_4cc, sound_list_bs},
    };
    return codes;
}

// Calls fn for every value of the fields with its place in the structure.
template <class Fn>
void EachValue(const std::vector<text_field>& fields, uint32_t base, Fn fn)
{
    for (const text_field& f : fields)
        for (uint32_t i = 0; i < (f.count ? f.count : 1); ++i) {
            uint32_t at = base + f.offset + i * f.size;
            if (f.kind == text_field_kind::records) EachValue(f.fields, at, fn);
            else fn(f, at);
        }
}

class TagJson : public ::testing::Test {
protected:
    TTagStore store;
    tag_file* file = store.new_tag_file();

    tag_entry* Make(tag_code type, const bytes& data, int16_t version, const char* name = "tag", tag_code id = "abcd"_4cc)
    {
        static const uint8_t none = 0;
        return store.create_tag(file, type, id, version, name, 0, uint32_t(data.size()), data.empty() ? &none : data.data());
    }
};

} // namespace

TEST_F(TagJson, EveryTagOfTheSampleDataComesBackByteForByte)
{
    TempFolder folder;
    make_sample_data(folder.path());
    TTagStore sample;
    sample.load_data_folder(folder.path());
    std::set<tag_code> with_fields, with_data;
    for (tag_entry* e = sample.next_entry(nullptr); e; e = sample.next_entry(e)) {
        std::string text;
        tag_json_tag back = RoundTrip(e, &text);
        ExpectSameTag(e, back);
        EXPECT_EQ(text, tag_json_text(tag_to_json(e))) << "the same tag gives the same text";
        (tag_to_json(e).contains("fields") ? with_fields : with_data).insert(tag_get_type(e));
    }
    for (tag_code type : text_layout_types())
        EXPECT_TRUE(with_fields.count(type)) << tag_code_to_text(type) << " is not shown by its fields";
    for (tag_code type : {"mesh"_4cc, "txst"_4cc, "soun"_4cc, "skmd"_4cc, "skan"_4cc, "bina"_4cc, ".256"_4cc})
        EXPECT_TRUE(with_data.count(type)) << tag_code_to_text(type);
}

TEST_F(TagJson, RandomBytesOfEveryStructuredTypeComeBack)
{
    uint8_t seed = 1;
    for (tag_code type : text_layout_types()) {
        uint32_t size = text_layout_size(type);
        int16_t version = int16_t(tag_type_version(type));
        // the structure alone, with bytes after it, too short for it, empty, an older version
        for (auto [length, v] : {std::pair<uint32_t, int16_t>{size, version}, {size + 7, version},
                                 {size - 1, version}, {0, version}, {size, int16_t(version - 1)}}) {
            bytes data = make_bytes(length, seed++);
            if (type == "mons"_4cc && length >= 4) data[1] ^= 0x20; // both monster layouts
            char name[32] = {char(0xE9), '\t', 'x', '\\', char(0x7F), '"', 0};
            tag_code id = seed % 2 ? 0x00FF0A41 : "a b "_4cc;
            tag_entry* e = Make(type, data, v, name, id);
            ExpectSameTag(e, RoundTrip(e));
            bool fields = length >= size && v == version;
            EXPECT_EQ(tag_to_json(e).contains("fields"), fields) << tag_code_to_text(type) << " " << length;
        }
    }
}

TEST_F(TagJson, FieldsReadWhatTheStructureDescriptionsConvert)
{
    for (const auto& [described, codes] : Descriptions()) {
        tag_code type = described; // a name the lambda below can capture
        uint32_t size = text_layout_size(type);
        bytes stored = make_bytes(size, uint8_t(type));
        bytes native(size);
        byte_swap_copy("test", native.data(), stored.data(), int32_t(size), 1, codes);
        const text_layout* layout = text_layout_for(type, stored.data(), size);
        ASSERT_TRUE(layout) << tag_code_to_text(type);
        EachValue(layout->fields, 0, [&](const text_field& f, uint32_t at) {
            std::string where = tag_code_to_text(type) + " " + f.name + " at " + std::to_string(at);
            if (f.kind == text_field_kind::bytes) {
                EXPECT_EQ(0, std::memcmp(native.data() + at, stored.data() + at, f.size)) << where;
                return;
            }
            int64_t value = 0;
            if (f.size == 2) {
                int16_t s;
                std::memcpy(&s, native.data() + at, 2);
                value = f.is_signed ? int64_t(s) : int64_t(uint16_t(s));
            } else {
                int32_t s;
                std::memcpy(&s, native.data() + at, 4);
                value = f.is_signed ? int64_t(s) : int64_t(uint32_t(s));
            }
            EXPECT_EQ(read_text_field_value(f, stored.data() + at), value) << where;
        });
    }
    // a monster converts its attacks with descriptions of their own, the sequences only without a 3D model
    for (bool model : {false, true}) {
        bytes stored = make_bytes(1024, model ? 3 : 4);
        stored[1] = model ? 0x20 : 0;
        tag_entry* e = Make("mons"_4cc, stored, 1);
        monster_definition m;
        ASSERT_TRUE(read_tag_struct(e, m));
        bytes native(1024);
        std::memcpy(native.data(), &m, 1024);
        EachValue(text_layout_for("mons"_4cc, stored.data(), 1024)->fields, 0, [&](const text_field& f, uint32_t at) {
            if (f.kind == text_field_kind::bytes) {
                EXPECT_EQ(0, std::memcmp(native.data() + at, stored.data() + at, f.size)) << f.name << " at " << at;
            } else {
                uint32_t v = 0;
                std::memcpy(&v, native.data() + at, f.size);
                EXPECT_EQ(uint32_t(read_text_field_value(f, stored.data() + at)) & (f.size == 2 ? 0xFFFF : ~0u), v)
                    << f.name << " at " << at;
            }
        });
    }
}

TEST_F(TagJson, EditingNamedFieldsChangesExactlyTheirBytes)
{
    monster_definition m{};
    tag_struct_defaults(m);
    bytes before = tag_struct_bytes(m);
    tag_entry* e = Make("mons"_4cc, before, 1, "orc");
    tag_json j = tag_to_json(e);
    j["fields"]["pathfinding_radius"] = -2;
    j["fields"]["attacks"][2]["maximum_range"] = 4660;
    j["fields"]["attacks"][1]["sequences"][3]["field_2"] = -1;
    j["fields"]["sound_tags"][9] = "boom";
    j["fields"]["object_tag"] = nullptr;
    j["fields"]["movement_modifiers"] = "00000000000000000000000000000aff";
    j["fields"]["field_396"] = 4294967295u;
    j["extra"] = "0102";
    tag_json_tag t = TTagJsonDocument(tag_json_text(j)).Build(e);

    bytes expected = before;
    put_be16(expected, 90, 0xFFFE);
    put_be16(expected, 140 + 2 * 64 + 10, 0x1234);
    put_be16(expected, 140 + 64 + 12 + 3 * 8 + 2, 0xFFFF);
    put_be32(expected, 444 + 9 * 4, code("boom"));
    put_be32(expected, 132, 0xFFFFFFFF);
    expected[106] = 0x0A;
    expected[107] = 0xFF;
    put_be32(expected, 396, 0xFFFFFFFF);
    expected.push_back(1);
    expected.push_back(2);
    EXPECT_EQ(t.data, expected);

    // a text that names a few fields changes only those; the rest stay as the tag had them
    tag_entry* group = Make("prgr"_4cc, make_bytes(512, 9), 1, "hit", "grp1"_4cc);
    t = TTagJsonDocument(R"({"type": "prgr", "id": "grp1", "fields": {"parts": [{}, {}, {}, {"projectile_tag": "arro"}, {},
        {}, {}, {}, {}, {}, {}, {}, {}, {}, {}]}})").Build(group);
    expected = make_bytes(512, 9);
    put_be32(expected, 32 + 3 * 32, code("arro"));
    EXPECT_EQ(t.data, expected);
    EXPECT_EQ(t.name, "hit");
}

TEST_F(TagJson, ANewTagStartsFromItsTypesDefaults)
{
    tag_json_tag t = TTagJsonDocument(R"({"type": "unit", "id": "wolf", "fields": {"monster_tag": "wolf"}})").Build(nullptr);
    unit_definition u{};
    tag_struct_defaults(u);
    u.monster_tag = "wolf"_4cc;
    EXPECT_EQ(t.data, tag_struct_bytes(u));
    EXPECT_EQ(t.version, 2);
    EXPECT_EQ(t.name, "Untitled Units");
}

TEST_F(TagJson, TextsThatDoNotDescribeATagAreRefusedWithTheFieldAndTheReason)
{
    tag_entry* monster = Make("mons"_4cc, bytes(1024, 0), 1);
    struct refusal {
        const char* text;
        const char* field;
        const char* reason;
    } refusals[] = {
        {R"({"type": "mons", "id": "abcd", "fields": {)", "", "parse error at line 1, column 43"},
        {R"([1, 2])", "", "expected an object"},
        {R"({"type": "mons", "id": "abcd", "colour": 1})", "colour", "unknown key"},
        {R"({"type": "mons", "id": "abcd", "name": "a", "name": "b"})", "name", "given twice"},
        {R"({"id": "abcd"})", "type", "missing"},
        {R"({"type": "mons", "id": "abc"})", "id", "expected a four-character id or null"},
        {R"({"type": "mons", "id": "abc\u0100"})", "id", "expected a four-character id"},
        {R"({"type": "mons", "id": "abcd", "version": 40000})", "version", "40000 is outside -32768..32767"},
        {R"({"type": "mons", "id": "abcd", "name": "0123456789012345678901234567890123"})", "name", "longer than 31"},
        {R"({"type": "rawd", "id": "abcd", "data": "QQ="})", "data", "expected base64"},
        {R"({"type": "rawd", "id": "abcd", "data": "QR=="})", "data", "expected base64"},
        {R"({"type": "rawd", "id": "abcd", "fields": {}})", "fields", "rawd tags have no named fields"},
        {R"({"type": "mons", "id": "abcd", "fields": {}, "data": ""})", "data", "cannot be given with fields"},
        {R"({"type": "mons", "id": "abcd", "version": 2, "fields": {}})", "version", "the fields are those of version 1"},
        {R"({"type": "mons", "id": "abcd", "fields": {}, "extra": "abc"})", "extra", "expected hex digits"},
        {R"({"type": "mons", "id": "abcd", "fields": {"speed": 1}})", "fields.speed", "unknown field"},
        {R"({"type": "mons", "id": "abcd", "fields": {"pathfinding_radius": 32768}})", "fields.pathfinding_radius",
         "32768 is outside -32768..32767"},
        {R"({"type": "mons", "id": "abcd", "fields": {"absorbed_fraction": -1}})", "fields.absorbed_fraction",
         "-1 is outside 0..65535"},
        {R"({"type": "mons", "id": "abcd", "fields": {"flags": 4294967296}})", "fields.flags",
         "4294967296 is outside 0..4294967295"},
        {R"({"type": "mons", "id": "abcd", "fields": {"cost": 1.5}})", "fields.cost", "expected an integer, not 1.5"},
        {R"({"type": "mons", "id": "abcd", "fields": {"sound_tags": ["abcd"]}})", "fields.sound_tags",
         "expected an array of 10 ids, not 1"},
        {R"({"type": "mons", "id": "abcd", "fields": {"movement_modifiers": "00"}})", "fields.movement_modifiers",
         "expected 32 hex digits"},
        {R"({"type": "mons", "id": "abcd", "fields": {"attacks": [{}, {}, {"mana_cost": "x"}, {}]}})",
         "fields.attacks[2].mana_cost", "expected an integer, not a string"},
        {R"({"type": "mons", "id": "abcd", "fields": {"attacks": [{}, {"sequences": "00"}, {}, {}]}})",
         "fields.attacks[1].sequences", "expected an array of 4 records"},
    };
    for (const refusal& r : refusals) {
        try {
            TTagJsonDocument(r.text).Build(monster);
            ADD_FAILURE() << r.text << " was accepted";
        } catch (const tag_json_error& e) {
            EXPECT_EQ(e.field, r.field) << r.text;
            EXPECT_NE(e.reason.find(r.reason), std::string::npos) << r.text << ": " << e.reason;
        }
    }
}

TEST(TextCodec, ByteStringsAndCodesAsText)
{
    for (size_t n : {0, 1, 2, 3, 4, 200}) {
        bytes b = make_bytes(n, uint8_t(n));
        std::string text = base64_encode(b.data(), b.size());
        EXPECT_EQ(text.size() % 4, 0u);
        EXPECT_EQ(base64_decode(text), b);
    }
    EXPECT_EQ(base64_encode(reinterpret_cast<const uint8_t*>("Man"), 3), "TWFu");
    for (const char* bad : {"TWF", "TW=u", "T*Fu", "TQ=A", "TR==", "=AAA"}) EXPECT_FALSE(base64_decode(bad)) << bad;
    EXPECT_EQ(code_to_utf8(0x41FF0009), std::string("A\xC3\xBF\x00\x09", 5));
    EXPECT_EQ(utf8_to_code(code_to_utf8(0x41FF0009)), 0x41FF0009u);
    EXPECT_FALSE(utf8_to_code("\xE2\x82\xAC" "abc"));
    EXPECT_EQ(tag_name_for_line("a\tb\\\x01\xE9"), "a\\tb\\\\\\x01\xC3\xA9");
}
