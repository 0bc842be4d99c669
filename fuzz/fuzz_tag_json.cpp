// Tags from JSON text as load reads them: a text that is accepted gives a tag whose own
// text gives back the same tag, and which the same text over it leaves unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "tags/tags.h"
#include "textform/tag_json.h"

namespace {

bool Same(const tag_json_tag& a, const tag_json_tag& b)
{
    return a.type == b.type && a.id == b.id && a.version == b.version && a.name == b.name && a.data == b.data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TTagStore* store = new TTagStore;
    static tag_file* file = store->new_tag_file();
    tag_json_tag made;
    try {
        TTagJsonDocument document(std::string_view(reinterpret_cast<const char*>(data), size));
        made = document.Build(nullptr);
        // made as load makes it
        tag_data_ptr bytes(new uint8_t[made.data.size() + 1]);
        std::memcpy(bytes.get(), made.data.data(), made.data.size());
        tag_entry* e = store->create_tag_owned(file, made.type, made.id ? made.id : NONE_TAG, made.version,
                                               made.name.c_str(), uint32_t(made.data.size()), std::move(bytes));
        if (!e) std::abort();
        tag_set_id(e, made.id);
        tag_json_tag again = TTagJsonDocument(tag_json_text(tag_to_json(e))).Build(nullptr);
        tag_json_tag over = document.Build(e);
        store->delete_tag(e);
        if (!Same(made, again) || !Same(made, over)) std::abort();
    } catch (const tag_json_error&) {
    }
    return 0;
}
