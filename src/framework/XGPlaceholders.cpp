#include "framework/XGPlaceholders.h"

#include <cstdio>

#include "framework/XGCode.h"

namespace {

constexpr int kMaxArgs = 9;

std::string FormatArg(char kind, const XGArg& arg)
{
    char buffer[32];
    switch (kind) {
    case 'S':
        if (arg.IsText()) {
            // a zero-terminated string: stop at the first NUL
            const std::string& t = arg.Text();
            return t.substr(0, t.find('\0'));
        }
        std::snprintf(buffer, sizeof buffer, "%d", (int)arg.Number());
        return buffer;
    case 'P': {
        if (!arg.IsText()) return {};
        const std::string& t = arg.Text();
        if (t.empty()) return {};
        size_t length = (unsigned char)t[0];
        return t.substr(1, length);
    }
    case 'L':
        if (arg.IsText()) return arg.Text();
        std::snprintf(buffer, sizeof buffer, "%d", (int)arg.Number());
        return buffer;
    case 'X':
        if (arg.IsText()) return arg.Text();
        std::snprintf(buffer, sizeof buffer, "%X", (unsigned)arg.Number());
        return buffer;
    case 'I':
        if (arg.IsText()) return arg.Text().substr(0, 4);
        return XGCodeToText((XGCode)arg.Number());
    }
    return {};
}

bool IsKind(char c)
{
    return c == 'S' || c == 'P' || c == 'L' || c == 'X' || c == 'I';
}

} // namespace

std::string XGExpandPlaceholders(std::string_view text, const XGArgs& args)
{
    std::string out;
    out.reserve(text.size() + 32);
    int next = 0; // index of the argument an unnumbered placeholder takes
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '#' || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        size_t j = i + 1;
        int index = next;
        if (text[j] >= '1' && text[j] <= '9' && j + 1 < text.size() && IsKind(text[j + 1])) {
            index = text[j] - '1';
            ++j;
        }
        if (!IsKind(text[j])) {
            out += c;
            continue;
        }
        if (index < kMaxArgs && index < (int)args.size()) out += FormatArg(text[j], args[index]);
        next = index + 1;
        i = j;
    }
    return out;
}
