// Imports the input as an interface-builder file into a store that already holds a
// dialog tag, checks every tag made, then writes the tag file out.
#include <cstdint>
#include <cstring>

#include "framework/XGError.h"
#include "fuzz_support.h"
#include "shell/ditlmaker.h"
#include "tags/tag_file_format.h"
#include "tags/tags.h"

namespace {

// The header counts the records, and the pool holds one text per record.
bool WellFormed(tag_entry* e)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    if (!data || size < 12 || read_be16(data) != 1) return false;
    uint32_t count = read_be16(data + 2);
    if (count > MAXIMUM_DIALOG_CONTROLS || size < 12 + 24 * count) return false;
    uint32_t texts = 0;
    for (uint32_t i = 12 + 24 * count; i < size; ++i) texts += data[i] == 0;
    return texts == count && (size == 12 + 24 * count || data[size - 1] == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TTagStore store;
    static const uint8_t old[12] = {0, 1};
    store.create_tag(store.new_tag_file(), DIALOG_TAG, "mame"_4cc, 1, "old menu", 0, sizeof old, old);
    tag_file* f = store.new_tag_file();
    TDialogImportReport report = make_dialog_tags(data, size, "input.CIN", f);
    if (dialog_import_summary(report).empty()) __builtin_trap();
    for (const TDialogImportItem& item : report.items)
        if (item.outcome != kDialogSkipped && !WellFormed(item.entry)) __builtin_trap();
    try {
        write_tag_file(f, fuzz_scratch_folder() + "/output.tag", TAG_FILE_TYPE_PLUGIN, false);
    } catch (const XGError&) {
    }
    return 0;
}
