// The text of string list (stli), template (temp) and text (text) tags: the tag's data
// is the text itself. Editing shows it with one kind of line break and writes it back
// with the break the tag used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct tag_entry;

struct tag_text_layout {
    std::string line_break = "\r"; // the first break the text holds; CR for a text without one
    size_t trailing_nuls = 0;      // terminators after the text, kept as they were
};

// The text with its line breaks (CR LF, CR or LF) as '\n' and the NULs inside it as
// blanks; the trailing NULs are left out and counted.
std::string tag_text_for_editing(const uint8_t* data, size_t size, tag_text_layout& layout);
// Edited text back to bytes: '\n' as the layout's break, then its trailing NULs.
std::vector<uint8_t> tag_text_bytes(const std::string& text, const tag_text_layout& layout);

// A new tag of these types holds no text.
void tag_text_set_defaults(tag_entry* e);
void install_text_tag_hooks();
