// Interface-builder resource files (.CIN): a header, then resource entries. Every
// view resource ('VRes') holds a window record followed by its control records,
// which read as one dialog each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/dialog_tag.h"

constexpr uint32_t CIN_FILE_VERSION = 2;
constexpr size_t CIN_FILE_HEADER_SIZE = 16;
constexpr uint32_t CIN_MINIMUM_ENTRY_LENGTH = 10;
constexpr size_t CIN_CONTROL_RECORD_SIZE = 0x36;

// Where a control's text sits in its tail.
enum cin_text_place : uint8_t {
    CIN_NO_TEXT,
    CIN_TEXT_FIRST,       // the text, then the fixed bytes
    CIN_TEXT_AFTER_FIXED, // the fixed bytes, then the text
};

struct cin_view_class {
    tag_code view_class;
    tag_code control_code;
    uint8_t fixed_bytes; // of the tail, besides the text
    cin_text_place text;
};

// The class's record, or null for a class that cannot be made into a control.
const cin_view_class* cin_view_class_for(tag_code view_class);
// The control code: the class's own, or the one its id gives.
tag_code cin_control_code(const cin_view_class& view_class, int32_t id);
// Bytes a length-prefixed text of n characters takes: n + 1 rounded up to even.
constexpr size_t cin_text_size(size_t n)
{
    return (n + 2) & ~size_t(1);
}

struct TCinDialog {
    std::string name;      // the resource's name
    std::string abandoned; // why no tag is made from it; empty when it reads
    TDialog dialog;
};

struct TCinFile {
    std::string failure; // why the file cannot be converted at all; then dialogs is empty
    std::vector<TCinDialog> dialogs; // every view resource in file order
};

// Reads the view resources. label names the file in messages. A dialog whose texts
// need more than pool_limit bytes is abandoned.
TCinFile read_cin_file(const uint8_t* data, size_t size, const std::string& label,
                       size_t pool_limit = DIALOG_TEXT_POOL_SIZE);
