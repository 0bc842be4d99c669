#include "framework/XGCode.h"

std::string XGCodeToText(XGCode code)
{
    std::string text(4, '_');
    for (int i = 0; i < 4; ++i) {
        unsigned char c = (unsigned char)(code >> (24 - 8 * i));
        if (c == 0) break;
        if (c >= 32 && c < 127) text[i] = (char)c;
    }
    return text;
}
