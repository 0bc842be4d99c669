#include "shell/tag_text.h"

#include "framework/XGError.h"
#include "tags/tag_types.h"
#include "tags/tags.h"

std::string tag_text_for_editing(const uint8_t* data, size_t size, tag_text_layout& layout)
{
    layout = tag_text_layout();
    while (size > 0 && data[size - 1] == 0) {
        --size;
        ++layout.trailing_nuls;
    }
    bool found = false;
    std::string text;
    text.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        uint8_t c = data[i];
        if (c == '\r' || c == '\n') {
            bool pair = c == '\r' && i + 1 < size && data[i + 1] == '\n';
            if (!found) layout.line_break = pair ? "\r\n" : std::string(1, char(c));
            found = true;
            text += '\n';
            if (pair) ++i;
        } else {
            text += c == 0 ? ' ' : char(c);
        }
    }
    return text;
}

std::vector<uint8_t> tag_text_bytes(const std::string& text, const tag_text_layout& layout)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() + layout.trailing_nuls);
    for (char c : text) {
        if (c == '\n') bytes.insert(bytes.end(), layout.line_break.begin(), layout.line_break.end());
        else bytes.push_back(uint8_t(c));
    }
    bytes.insert(bytes.end(), layout.trailing_nuls, 0);
    return bytes;
}

void tag_text_set_defaults(tag_entry* e)
{
    if (!tag_set_data(e, "", 0)) throw XGPostError(kXGOutOfMemory);
}

void install_text_tag_hooks()
{
    for (tag_code type : {"stli"_4cc, "temp"_4cc, "text"_4cc})
        set_tag_type_core_hooks(type, tag_text_set_defaults, nullptr, nullptr);
}
