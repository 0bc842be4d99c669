#include "shell/dialog_tag.h"

#include <cstring>

const bs_code dlog_header_codes[] = {
    _begin_bs_array, 1, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _end_bs_array,
};

const bs_code dlog_control_codes[] = {
    _begin_bs_array, 1, _4byte, _2byte, _2byte, _2byte, _2byte, _2byte,
    _2byte, _2byte, _2byte, _2byte, _2byte, _end_bs_array,
};

std::vector<uint8_t> dialog_tag_bytes(const TDialog& dialog)
{
    size_t count = dialog.controls.size();
    std::vector<uint8_t> bytes(sizeof(dlog_header) + count * sizeof(dlog_control) + dialog.texts.size());
    dlog_header header = dialog.header;
    header.control_count = int16_t(count);
    byte_swap_copy("dlog header", bytes.data(), &header, sizeof header, 1, dlog_header_codes);
    uint8_t* controls = bytes.data() + sizeof header;
    if (count)
        byte_swap_copy("dlog controls", controls, dialog.controls.data(), sizeof(dlog_control), int32_t(count),
                       dlog_control_codes);
    if (!dialog.texts.empty())
        std::memcpy(controls + count * sizeof(dlog_control), dialog.texts.data(), dialog.texts.size());
    return bytes;
}
