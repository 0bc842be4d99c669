#include "tags/tag_code.h"

std::string tag_code_to_text(tag_code code)
{
    return XGCodeToText(code);
}

tag_code text_to_tag_code(std::string_view text)
{
    char c[4] = {'_', '_', '_', '_'};
    for (size_t i = 0; i < 4 && i < text.size(); ++i) {
        unsigned char ch = (unsigned char)text[i];
        c[i] = (ch < 32 || ch >= 128) ? '_' : (char)ch;
    }
    if (c[0] == '_' && c[1] == '_' && c[2] == '_' && c[3] == '_') return NONE_TAG;
    return (tag_code(uint8_t(c[0])) << 24) | (tag_code(uint8_t(c[1])) << 16) | (tag_code(uint8_t(c[2])) << 8) |
           tag_code(uint8_t(c[3]));
}
