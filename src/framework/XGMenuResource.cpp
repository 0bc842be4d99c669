#include "framework/XGMenuResource.h"

#include <charconv>
#include <cstdio>

#include "framework/XGTextLines.h"

namespace {

bool Fail(std::string* why, int line, const std::string& text)
{
    if (why) {
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "line %d: ", line);
        *why = prefix + text;
    }
    return false;
}

// The quoted text that starts at pos; false when there is none or it is not closed.
bool Quoted(std::string_view line, size_t pos, std::string& out)
{
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos >= line.size() || line[pos] != '"') return false;
    out.clear();
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '\\' && pos + 1 < line.size()) {
            char n = line[++pos];
            out += n == 't' ? '\t' : n == 'n' ? '\n' : n;
        } else if (c == '"') {
            return line.find_first_not_of(' ', pos + 1) == std::string_view::npos;
        } else {
            out += c;
        }
    }
    return false;
}

} // namespace

const XGMenuItem* XGMenuBarResource::Find(int16_t id) const
{
    for (const XGMenu& m : menus)
        for (const XGMenuItem& item : m.items)
            if (item.id == id && id != 0) return &item;
    return nullptr;
}

std::vector<XGAccelerator> XGMenuBarResource::Accelerators() const
{
    std::vector<XGAccelerator> table;
    for (const XGMenu& m : menus) {
        for (const XGMenuItem& item : m.items) {
            size_t tab = item.label.find('\t');
            if (item.id != 0 && tab != std::string::npos && tab + 1 < item.label.size())
                table.push_back({item.label.substr(tab + 1), item.id});
        }
    }
    return table;
}

std::string XGMenuLabelText(const std::string& label)
{
    return label.substr(0, label.find('\t'));
}

bool XGParseMenuText(std::string_view text, XGMenuBarResource& out, std::string* why)
{
    out = XGMenuBarResource();
    XGTextLines lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        int lineNumber = lines.Number();
        size_t start = line.find_first_not_of(' ');
        if (start == std::string_view::npos || line[start] == '#') continue;
        std::string_view body = line.substr(start);

        if (body.substr(0, 5) == "menu ") {
            XGMenu menu;
            if (!Quoted(body, 5, menu.title)) return Fail(why, lineNumber, "a menu needs a quoted title");
            out.menus.push_back(std::move(menu));
            continue;
        }
        if (out.menus.empty()) return Fail(why, lineNumber, "an item outside of a menu");
        if (body == "separator") {
            out.menus.back().items.push_back({0, {}});
            continue;
        }
        if (body.substr(0, 5) != "item ") return Fail(why, lineNumber, "expected menu, item or separator");
        size_t numberStart = body.find_first_not_of(' ', 5);
        if (numberStart == std::string_view::npos) return Fail(why, lineNumber, "an item needs an id");
        size_t numberEnd = body.find(' ', numberStart);
        if (numberEnd == std::string_view::npos) numberEnd = body.size();
        int id = 0;
        auto [end, ec] = std::from_chars(body.data() + numberStart, body.data() + numberEnd, id);
        if (ec != std::errc() || end != body.data() + numberEnd || id <= 0 || id > 32767)
            return Fail(why, lineNumber, "an item's id must be a number from 1 to 32767");
        XGMenuItem item;
        item.id = int16_t(id);
        if (!Quoted(body, numberEnd, item.label)) return Fail(why, lineNumber, "an item needs a quoted label");
        out.menus.back().items.push_back(std::move(item));
    }
    return true;
}
