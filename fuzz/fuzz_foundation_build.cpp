// A tag file whose every tag is a root of a foundation build, and the same bytes read as a
// root list.
#include <cstdint>
#include <string>

#include "build/foundation_build.h"
#include "framework/XGError.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    parse_root_list(std::string(reinterpret_cast<const char*>(data), size));

    std::string path = fuzz_write_input("roots.tag", data, size);
    TTagStore store;
    tag_file* f = store.open_tag_file(path, false);
    if (!f) return 0;
    try {
        TFoundationBuild build(store);
        build.begin_foundation_build(fuzz_scratch_folder());
        for (tag_group* g = f->groups; g; g = g->next)
            for (tag_entry* e = g->entries; e; e = e->next) build.AddDependency(g->type, e->id);
        build.finish_foundation_build();
    } catch (const XGError&) {
    }
    return 0;
}
