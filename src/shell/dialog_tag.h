// Dialog tags (bina): a header, one record per control, then the controls' texts,
// one NUL-terminated text per control in control order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tags/byte_swapping.h"
#include "tags/tag_code.h"

constexpr tag_code DIALOG_TAG = 0x62696E61; // 'bina'
constexpr int16_t DIALOG_TAG_VERSION = 1;
constexpr int MAXIMUM_DIALOG_CONTROLS = 255;
constexpr size_t DIALOG_TEXT_POOL_SIZE = 65536;

// The dialog's bounds.
struct dlog_header {
    int16_t version;
    int16_t control_count;
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};
static_assert(sizeof(dlog_header) == 12);

struct dlog_control {
    tag_code code;
    int16_t reserved; // not taken from the interface builder; written as 0
    int16_t id;
    int16_t unused[4];
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};
static_assert(sizeof(dlog_control) == 24);

extern const bs_code dlog_header_codes[];
extern const bs_code dlog_control_codes[];

// A dialog in memory order.
struct TDialog {
    dlog_header header{};
    std::vector<dlog_control> controls;
    std::string texts; // the pool: every text followed by its NUL
};

// The tag's data in file order; the header's control count comes from controls.
std::vector<uint8_t> dialog_tag_bytes(const TDialog& dialog);
