// Opens the input as a tag file, reads every tag's data and writes the file out again.
#include <cstdint>

#include "framework/XGError.h"
#include "fuzz_support.h"
#include "tags/tag_file_format.h"
#include "tags/tags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz_write_input("input.tag", data, size);
    TTagStore store;
    tag_file* f = store.open_tag_file(path, false);
    if (!f) return 0;
    for (tag_group* g = f->groups; g; g = g->next)
        for (tag_entry* e = g->entries; e; e = e->next) {
            uint32_t n = 0;
            const uint8_t* bytes = tag_get_data(e, &n);
            if (bytes && n) {
                volatile uint8_t sink = bytes[n - 1];
                (void)sink;
            }
        }
    try {
        write_tag_file(f, fuzz_scratch_folder() + "/output.tag", TAG_FILE_TYPE_PLUGIN, false);
    } catch (const XGError&) {
    }
    return 0;
}
