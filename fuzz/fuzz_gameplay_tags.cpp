// Tag data of the structure types and maps: the type's hooks, a read and write of its
// structure (which must give back the same bytes), and the format update.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "build/tag_format_update.h"
#include "fuzz_support.h"
#include "framework/XGError.h"
#include "tags/gameplay/gameplay.h"
#include "tags/tag_types.h"

namespace {


template <class T>
void RoundTrip(tag_entry* e)
{
    uint32_t size = 0;
    const uint8_t* before = tag_get_data(e, &size);
    if (!before || size < sizeof(T)) return;
    std::vector<uint8_t> stored(before, before + sizeof(T));
    T d;
    if (!read_tag_struct(e, d)) std::abort();
    if (compare_tag_struct(e, d, false)) std::abort();
    if (!write_tag_struct(e, d)) std::abort();
    const uint8_t* after = tag_get_data(e, &size);
    if (std::memcmp(after, stored.data(), stored.size()) != 0) std::abort();
}

struct type_case {
    tag_code type;
    void (*round_trip)(tag_entry*);
};

const type_case kTypes[] = {
    {"amso"_4cc, RoundTrip<ambient_sound_definition>}, {"arti"_4cc, RoundTrip<artifact_definition>},
    {"conn"_4cc, RoundTrip<connector_definition>},     {"core"_4cc, RoundTrip<collection_reference_definition>},
    {"form"_4cc, RoundTrip<formation_definition>},     {"game"_4cc, RoundTrip<game_parameter_definition>},
    {"glli"_4cc, RoundTrip<global_light_definition>},  {"ligh"_4cc, RoundTrip<lightning_definition>},
    {"loli"_4cc, RoundTrip<local_light_definition>},   {"lpgr"_4cc, RoundTrip<local_projectile_group_definition>},
    {"medi"_4cc, RoundTrip<media_type_definition>},    {"meef"_4cc, RoundTrip<mesh_effect_definition>},
    {"meli"_4cc, RoundTrip<mesh_lighting_definition>}, {"mons"_4cc, RoundTrip<monster_definition>},
    {"obje"_4cc, RoundTrip<object_definition>},        {"obpc"_4cc, RoundTrip<observer_constants_definition>},
    {"part"_4cc, RoundTrip<particle_system_definition>}, {"phys"_4cc, RoundTrip<local_physics_definition>},
    {"prgr"_4cc, RoundTrip<projectile_group_definition>}, {"proj"_4cc, RoundTrip<projectile_definition>},
    {"scen"_4cc, RoundTrip<scenery_definition>},       {"unit"_4cc, RoundTrip<unit_definition>},
    {"wind"_4cc, RoundTrip<wind_definition>},
};

} // namespace

// The input: a four-character type, a version byte, then the tag's data.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5) return 0;
    tag_code code = read_be32(data);
    const type_case* chosen = &kTypes[code % (sizeof kTypes / sizeof kTypes[0])];
    for (const type_case& c : kTypes)
        if (c.type == code) chosen = &c;

    TTagStore store;
    tag_file* f = store.new_tag_file();
    tag_entry* e = store.create_tag(f, chosen->type, "fuzz"_4cc, int16_t(int8_t(data[4]) % 4), "fuzz", 0,
                                    uint32_t(size - 5), data + 5);
    if (!e) return 0;
    {
        TFuzzDependencySink sink;
        if (auto hook = tag_type_collect_dependencies_hook(chosen->type)) hook(e);
    }
    chosen->round_trip(e);
    try {
        run_tag_format_update(e);
    } catch (const XGError&) {
    }
    return 0;
}
