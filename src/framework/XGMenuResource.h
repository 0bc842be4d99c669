// Menu bar resources, written as text:
//   menu "&File"
//     item 101 "&New\tCtrl+N"
//     separator
// A label's text after a tab names its shortcut; the shortcuts, in menu order, are
// the accelerator table of the menu bar.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/XGCode.h"

constexpr XGCode kXGMenuResourceType = 0x4D454E55; // 'MENU'

struct XGMenuItem {
    int16_t id = 0; // 0 for a separator
    std::string label;
};

struct XGMenu {
    std::string title;
    std::vector<XGMenuItem> items;
};

struct XGAccelerator {
    std::string keys; // "Ctrl+N"
    int16_t id = 0;
};

struct XGMenuBarResource {
    std::vector<XGMenu> menus;

    // The item with the id, or null.
    const XGMenuItem* Find(int16_t id) const;
    std::vector<XGAccelerator> Accelerators() const;
};

// False with the line and the reason when the text is not a menu bar.
bool XGParseMenuText(std::string_view text, XGMenuBarResource& out, std::string* why);

// "&Open...\tCtrl+O" without its shortcut: "&Open...".
std::string XGMenuLabelText(const std::string& label);
