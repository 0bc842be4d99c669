// Message codes between the framework and the program, and what their parameters
// carry. Handlers return -1 for a message they do not handle.
#pragma once

#include <cstdint>

#include "framework/XGCode.h"

// A raw platform event offered to the focus chain: p1 the QEvent, p2 its receiver.
// A result of 1 takes the event.
constexpr XGCode kXGEventMessage = "even"_4cc;
// A key: p1 the key code (below), p2 the modifier flags.
constexpr XGCode kXGKeyMessage = "keye"_4cc;
// Control messages: p1 the control's id, p2 the XGView.
constexpr XGCode kXGClickMessage = "cclk"_4cc;
constexpr XGCode kXGKeyClickMessage = "kclk"_4cc;
constexpr XGCode kXGSetValueMessage = "sval"_4cc;
constexpr XGCode kXGListSelectMessage = "lsel"_4cc;
constexpr XGCode kXGListValueMessage = "lval"_4cc;
constexpr XGCode kXGPopupValueMessage = "pval"_4cc;
constexpr XGCode kXGScrollMessage = "scrs"_4cc;
constexpr XGCode kXGPopupMenuMessage = "popm"_4cc;
// A periodic task's turn: p1 the XGPeriodic.
constexpr XGCode kXGPeriodicMessage = "peri"_4cc;
// Commands: p1 the command id; for stat, p2 an XGCommandStatus to fill (result 0).
constexpr XGCode kXGStatusMessage = "stat"_4cc;
constexpr XGCode kXGMenuMessage = "menu"_4cc;
// The application events. odoc: p1 a const std::string* with the file's path.
constexpr XGCode kXGOpenApplication = "oapp"_4cc;
constexpr XGCode kXGOpenDocument = "odoc"_4cc;
constexpr XGCode kXGPrintDocument = "pdoc"_4cc;
constexpr XGCode kXGQuitApplication = "qapp"_4cc;

struct XGCommandStatus {
    bool enabled = false;
    bool checked = false;
};

// Framework commands of the menu bar.
enum : int16_t {
    kXGCommandAbout = 1,
    kXGCommandClose = 2,
    kXGCommandExit = 3,
    kXGCommandUndo = 4,
    kXGCommandCut = 5,
    kXGCommandCopy = 6,
    kXGCommandPaste = 7,
    kXGCommandClear = 8,
    kXGCommandTile = 9,
    kXGCommandCascade = 10,
    kXGCommandArrangeIcons = 11,
};

// Key codes of keye; other keys arrive as their character.
enum : int32_t {
    kXGKeyHome = 1,
    kXGKeyEnter = 3,
    kXGKeyEnd = 4,
    kXGKeyHelp = 5,
    kXGKeyBackspace = 8,
    kXGKeyTab = 9,
    kXGKeyPageUp = 11,
    kXGKeyPageDown = 12,
    kXGKeyReturn = 13,
    kXGKeyEscape = 27,
    kXGKeyLeft = 28,
    kXGKeyRight = 29,
    kXGKeyUp = 30,
    kXGKeyDown = 31,
    kXGKeyDelete = 133, // the extended Delete key
    kXGKeyFunction = 0x100, // F1 is kXGKeyFunction + 1
};

enum : int32_t {
    kXGShiftKey = 1,
    kXGControlKey = 2,
    kXGAltKey = 4,
};
