// The data of text tags as the text forms show it: the edited text written back and
// shown again must be the same text with the same line break and terminators.
#include <cstdint>
#include <cstdlib>

#include "shell/tag_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tag_text_layout layout;
    std::string text = tag_text_for_editing(data, size, layout);
    if (text.size() > size) std::abort();
    std::vector<uint8_t> bytes = tag_text_bytes(text, layout);
    tag_text_layout again;
    if (tag_text_for_editing(bytes.data(), bytes.size(), again) != text) std::abort();
    if (again.trailing_nuls != layout.trailing_nuls) std::abort();
    if (text.find('\n') != std::string::npos && again.line_break != layout.line_break) std::abort();
    return 0;
}
