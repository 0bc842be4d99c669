// Map tags: load, store, load again (which must give the same bytes), and dependencies.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz_support.h"
#include "framework/XGError.h"
#include "map/mesh_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TTagStore store;
    tag_file* f = store.new_tag_file();
    tag_entry* e = store.create_tag(f, "mesh"_4cc, "fuzz"_4cc, 11, "fuzz", 0, uint32_t(size), data);
    if (!e) return 0;
    {
        TFuzzDependencySink sink;
        collect_mesh_dependencies(e);
    }

    TMeshMap map;
    try {
        load_map(e, map);
    } catch (const XGError&) {
        return 0;
    }
    store_map(e, map);
    TMeshMap again;
    load_map(e, again);
    std::vector<uint8_t> stored = map_tag_bytes(again);
    uint32_t length = 0;
    const uint8_t* bytes = tag_get_data(e, &length);
    if (length != stored.size() || std::memcmp(bytes, stored.data(), length) != 0) std::abort();
    return 0;
}
