// Interface-builder files assembled by hand at the documented offsets, independently
// of the program's writer. Fixed tail bytes are filled with 0xEE so that a tail
// measured wrongly shows up as a misread control.
#pragma once

#include <string>
#include <vector>

#include "support/tag_file_bytes.h"

bytes operator+(bytes a, const bytes& b);
bytes filler(size_t n);
// A length byte and the characters, padded to an even length.
bytes pstring(const std::string& text);

// A 0x36-byte control record followed by its tail; more is the continuation word.
bytes control(const std::string& view_class, int32_t id, int32_t left, int32_t top, int32_t right, int32_t bottom,
              const bytes& tail, uint32_t more = 1);
// A VRes entry: name, window record (origin x, y; extent w, h; title), controls.
bytes view_resource(const std::string& name, int32_t x, int32_t y, int32_t w, int32_t h,
                    const std::vector<bytes>& controls, const std::string& title = "Title",
                    const std::string& window_class = "wind");
bytes resource(const std::string& type, const std::string& name, const bytes& body);
bytes cin_file(const std::vector<bytes>& entries, uint32_t version = 2);

// The dialog tag bytes expected for a header and 24-byte control records.
struct want_control {
    std::string code;
    int16_t id, top, left, bottom, right;
};
bytes dialog_bytes(int16_t top, int16_t left, int16_t bottom, int16_t right, const std::vector<want_control>& controls,
                   const std::string& texts);
