#include "tags/gameplay/tag_struct.h"

#include <cstring>

#include "framework/ProgramAssert.h"

namespace {

// Expands one group; returns the index of the code after its last end.
size_t ExpandGroup(const bs_code* codes, size_t at, std::vector<int8_t>& widths)
{
    PROGRAM_ASSERT(codes[at] == _begin_bs_array && codes[at + 1] > 0, "tag_struct");
    int count = codes[at + 1];
    size_t end = at + 2;
    for (int pass = 0; pass < count; ++pass) {
        size_t i = at + 2;
        while (codes[i] != _end_bs_array) {
            bs_code c = codes[i];
            if (c == _begin_bs_array) {
                i = ExpandGroup(codes, i, widths);
                continue;
            }
            if (c == _4byte || c == _2byte) {
                int n = c == _4byte ? 4 : 2;
                widths.push_back(int8_t(n));
                widths.insert(widths.end(), size_t(n - 1), int8_t(-1));
            } else {
                PROGRAM_ASSERT(c > 0, "tag_struct");
                widths.insert(widths.end(), size_t(c), int8_t(0));
            }
            ++i;
        }
        end = i + 1;
    }
    return end;
}

} // namespace

std::vector<int8_t> tag_struct_field_widths(const bs_code* codes)
{
    std::vector<int8_t> widths;
    ExpandGroup(codes, 0, widths);
    return widths;
}

void apply_tag_defaults(void* s, int32_t length, const bs_code* codes, std::initializer_list<tag_default> fields,
                        std::initializer_list<tag_default_bytes> bytes)
{
    std::vector<int8_t> widths = tag_struct_field_widths(codes);
    PROGRAM_ASSERT(int32_t(widths.size()) == length, "tag_struct");
    auto* p = static_cast<uint8_t*>(s);
    for (const tag_default& f : fields) {
        PROGRAM_ASSERT(f.offset >= 0 && f.offset < length, "tag_struct");
        int8_t width = widths[size_t(f.offset)];
        PROGRAM_ASSERT(width == 2 || width == 4, "tag_struct");
        if (width == 4) {
            int32_t v = f.value;
            std::memcpy(p + f.offset, &v, 4);
        } else {
            int16_t v = int16_t(f.value);
            std::memcpy(p + f.offset, &v, 2);
        }
    }
    for (const tag_default_bytes& b : bytes) {
        PROGRAM_ASSERT(b.offset >= 0 && b.count >= 0 && b.offset + b.count <= length, "tag_struct");
        std::memset(p + b.offset, b.value, size_t(b.count));
    }
}

std::string tag_label(const tag_entry* e)
{
    return "'" + std::string(e->name) + "' (" + tag_code_to_text(e->group->type) + "/" + tag_code_to_text(e->id) +
           ")";
}

XGPostError tag_data_error(const tag_entry* e, const std::string& what)
{
    std::string file = e->file->path.empty() ? std::string("unsaved file") : tag_file_name(e->file);
    return XGPostError(kXGFileReadError, {file + " - The tag " + tag_label(e) + " " + what + "."});
}
