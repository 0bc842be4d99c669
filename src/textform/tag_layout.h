// The named fields of the types whose data starts with one fixed structure: where each
// field lies, how wide it is and how its text shows it. Every byte of a structure belongs
// to exactly one field.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tags/byte_swapping.h"
#include "tags/tag_code.h"

enum class text_field_kind : uint8_t {
    integer,   // a 16-bit or 32-bit value, signed or not
    reference, // a 32-bit tag id
    bytes,     // bytes left as stored
    records,   // an array of nested records
};

struct text_field {
    std::string name;
    uint32_t offset = 0; // from the start of the enclosing record
    uint32_t size = 0;   // of one value; of all the bytes; of one record
    text_field_kind kind = text_field_kind::integer;
    bool is_signed = false;
    uint32_t count = 0; // elements of an array; 0 for a single value (records always have one)
    std::vector<text_field> fields; // of one record
};

struct text_layout {
    tag_code type = 0;
    uint32_t size = 0; // of the structure
    std::vector<text_field> fields;
};

// The layout of the structure at the start of data (size bytes, in file order) of a tag of
// the type; none for a type without one, or for data shorter than the structure. A monster's
// layout depends on its flags.
const text_layout* text_layout_for(tag_code type, const uint8_t* data, uint32_t size);

// The size of the type's structure; 0 for a type without a layout.
uint32_t text_layout_size(tag_code type);

// The types that have a layout, in registry order.
const std::vector<tag_code>& text_layout_types();

// A value of an integer or reference field, read from and written to bytes in file order.
int64_t read_text_field_value(const text_field& f, const uint8_t* p);
void write_text_field_value(const text_field& f, uint8_t* p, int64_t value);
// The range an integer field holds.
int64_t text_field_minimum(const text_field& f);
int64_t text_field_maximum(const text_field& f);
