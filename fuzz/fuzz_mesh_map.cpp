// Map tags: load, store, load again (which must give the same bytes), and dependencies.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "build/tagdepend.h"
#include "framework/XGError.h"
#include "map/mesh_map.h"

namespace {

class TCountingSink : public TDependencySink {
public:
    void AddDependency(tag_code, tag_code) override { ++fCount; }
    void UnreadableTag(tag_entry*) override { ++fCount; }
    int fCount = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TTagStore store;
    tag_file* f = store.new_tag_file();
    tag_entry* e = store.create_tag(f, "mesh"_4cc, "fuzz"_4cc, 11, "fuzz", 0, uint32_t(size), data);
    if (!e) return 0;
    TCountingSink sink;
    TDependencySink* previous = set_dependency_sink(&sink);
    collect_mesh_dependencies(e);
    set_dependency_sink(previous);

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
