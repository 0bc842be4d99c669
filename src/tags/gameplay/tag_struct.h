// Typed access to the one fixed structure at the start of a tag's data. Each type's
// header specialises tag_struct_info with its type code, label and description.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "build/tagdepend.h"
#include "framework/XGError.h"
#include "tags/byte_swapping.h"
#include "tags/tag_code.h"
#include "tags/tags.h"

template <class T>
struct tag_struct_info;

// Fills s from the start of the tag's data; false (s untouched) when the data cannot be
// had or is shorter than the structure.
template <class T>
bool read_tag_struct(tag_entry* e, T& s)
{
    using info = tag_struct_info<T>;
    return tag_read_structs(info::label, e, &s, int32_t(sizeof(T)), 1, info::codes);
}

// Writes s over the start of the tag's data; bytes after the structure are kept.
template <class T>
bool write_tag_struct(tag_entry* e, const T& s)
{
    using info = tag_struct_info<T>;
    return tag_write_structs(info::label, e, &s, int32_t(sizeof(T)), 1, info::codes);
}

// True when s differs from the tag's data (or the data cannot be had). With exact set,
// data of another length than the structure also differs.
template <class T>
bool compare_tag_struct(tag_entry* e, const T& s, bool exact)
{
    using info = tag_struct_info<T>;
    return tag_compare_structs(info::label, e, &s, int32_t(sizeof(T)), 1, info::codes, exact);
}

// The structure in file order, as a tag of the type holds it.
template <class T>
std::vector<uint8_t> tag_struct_bytes(const T& s)
{
    using info = tag_struct_info<T>;
    std::vector<uint8_t> bytes(sizeof(T));
    byte_swap_copy(info::label, bytes.data(), &s, int32_t(sizeof(T)), 1, info::codes);
    return bytes;
}

// Replaces the whole data with s in file order: the data is exactly one structure.
template <class T>
bool set_tag_struct_data(tag_entry* e, const T& s)
{
    std::vector<uint8_t> bytes = tag_struct_bytes(s);
    return tag_set_data(e, bytes.data(), uint32_t(bytes.size()));
}

// For the collect-dependencies hooks: a tag whose structure cannot be read references
// nothing that can be trusted; it is reported to the dependency sink instead.
template <class T>
bool read_tag_struct_or_report(tag_entry* e, T& s)
{
    if (read_tag_struct(e, s)) return true;
    report_unreadable_tag(e);
    return false;
}

// What a description says of each byte of its structure: the width of the field that
// starts there (4 or 2), 0 for a raw byte, -1 for the later bytes of a field.
std::vector<int8_t> tag_struct_field_widths(const bs_code* codes);

// A default value of a 16-bit or 32-bit field; the description gives its width.
struct tag_default {
    int32_t offset;
    int32_t value;
};
// Bytes set as they stand, whatever the description says of them.
struct tag_default_bytes {
    int32_t offset;
    int32_t count;
    uint8_t value;
};

// Sets fields of a structure in memory order. An offset that is not the start of a
// 16-bit or 32-bit field of the description is a programming error.
void apply_tag_defaults(void* s, int32_t length, const bs_code* codes, std::initializer_list<tag_default> fields,
                        std::initializer_list<tag_default_bytes> bytes);

template <class T>
void apply_tag_defaults(T& s, std::initializer_list<tag_default> fields,
                        std::initializer_list<tag_default_bytes> bytes = {})
{
    apply_tag_defaults(&s, int32_t(sizeof(T)), tag_struct_info<T>::codes, fields, bytes);
}

// "'name' (type/id)" for messages.
std::string tag_label(const tag_entry* e);

// The program's error for tag data that cannot be used, naming the file and the tag:
// "<file> - The tag <label> <what>."
XGPostError tag_data_error(const tag_entry* e, const std::string& what);
