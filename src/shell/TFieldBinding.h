// Declarative binding of a structure's fields to a form's controls: each row names a
// control, the field's offset in the structure (memory order) and how it is shown. A
// form is its view resource plus its table; TBindingTable fills the controls from a
// structure and reads them back into it. Fields no row names are never touched.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "shell/TFieldUnit.h"
#include "tags/byte_swapping.h"
#include "tags/tag_code.h"

class TControlAccess;

enum class TFieldKind : uint8_t {
    Scaled, // an Integer or a fixed-point unit
    Flag,   // a check box for the bits of a mask
    Popup,  // item = field + bias
    TagRef, // a reference button pair (control, control + 1)
    Range,  // lower bound and the "to:" control showing lower + delta - 1
    Color,  // a swatch of three 16-bit channels (shown only)
};

struct TFieldBinding {
    TFieldKind kind;
    int32_t control;
    int32_t offset;
    const TFieldUnit* unit = &kInteger32Unit;
    // The field's storage: width 0 takes it from the description; a raw region needs a
    // width and holds the number big-endian.
    int8_t width = 0;
    int8_t field_signed = -1; // -1: as the unit says
    uint32_t mask = 0;
    tag_code type = 0;
    tag_code (*type_of)(const void* s) = nullptr; // a reference whose type the structure decides
    const char* const* items = nullptr;
    int32_t item_count = 0;
    int32_t bias = 0;
    const char* list_name = nullptr; // a missing pop-up is an assertion naming it
    const char* source = nullptr;
    int32_t upper_control = 0;
    int32_t delta_offset = 0;
};

// Rows of the tables.
constexpr TFieldBinding bind_value(int32_t control, int32_t offset, const TFieldUnit& unit)
{
    TFieldBinding b{TFieldKind::Scaled, control, offset};
    b.unit = &unit;
    return b;
}
// A field whose sign differs from the unit's (a signed distance shown as world units).
constexpr TFieldBinding bind_value(int32_t control, int32_t offset, const TFieldUnit& unit, bool field_signed)
{
    TFieldBinding b = bind_value(control, offset, unit);
    b.field_signed = field_signed ? 1 : 0;
    return b;
}
// A number held big-endian in a region the description leaves raw.
constexpr TFieldBinding bind_raw_value(int32_t control, int32_t offset, int8_t width, const TFieldUnit& unit)
{
    TFieldBinding b = bind_value(control, offset, unit);
    b.width = width;
    return b;
}
constexpr TFieldBinding bind_flag(int32_t control, int32_t offset, uint32_t mask)
{
    TFieldBinding b{TFieldKind::Flag, control, offset};
    b.mask = mask;
    b.unit = &kUnsigned32Unit;
    return b;
}
template <size_t N>
constexpr TFieldBinding bind_popup(int32_t control, int32_t offset, const char* const (&items)[N], int32_t bias = 0)
{
    TFieldBinding b{TFieldKind::Popup, control, offset};
    b.items = items;
    b.item_count = int32_t(N);
    b.bias = bias;
    b.unit = &kInteger16Unit;
    return b;
}
constexpr TFieldBinding bind_tag(int32_t control, int32_t offset, tag_code type)
{
    TFieldBinding b{TFieldKind::TagRef, control, offset};
    b.type = type;
    b.unit = &kUnsigned32Unit;
    return b;
}
constexpr TFieldBinding bind_tag(int32_t control, int32_t offset, tag_code (*type_of)(const void* s))
{
    TFieldBinding b = bind_tag(control, offset, tag_code(0));
    b.type_of = type_of;
    return b;
}
constexpr TFieldBinding bind_range(int32_t control, int32_t upper_control, int32_t offset, int32_t delta_offset,
                                   const TFieldUnit& unit)
{
    TFieldBinding b{TFieldKind::Range, control, offset};
    b.unit = &unit;
    b.upper_control = upper_control;
    b.delta_offset = delta_offset;
    return b;
}
constexpr TFieldBinding bind_color(int32_t control, int32_t offset)
{
    TFieldBinding b{TFieldKind::Color, control, offset};
    b.unit = &kUnsigned16Unit;
    return b;
}

// count values of one unit, stride bytes apart, on controls control, control + step, ...
std::vector<TFieldBinding> value_series(int32_t control, int32_t offset, int count, int32_t stride,
                                        const TFieldUnit& unit, int32_t step = 1);
// count references of one type on the pairs control, control + 2, ...
std::vector<TFieldBinding> tag_series(int32_t control, int32_t offset, int count, tag_code type);
// A check box for each bit, on controls control, control + 1, ...
template <class B, size_t N>
std::vector<TFieldBinding> flag_series(int32_t control, int32_t offset, const B (&bits)[N])
{
    std::vector<TFieldBinding> rows;
    for (size_t i = 0; i < N; ++i) rows.push_back(bind_flag(control + int32_t(i), offset, uint32_t(bits[i])));
    return rows;
}

// One row or several, as the tables list them.
struct TBindingRows {
    TBindingRows(const TFieldBinding& row) : rows{row} {}
    TBindingRows(std::vector<TFieldBinding> series) : rows(std::move(series)) {}
    std::vector<TFieldBinding> rows;
};

// A table over one structure. Every row is checked against the description when the
// table is made: a field must start where the row says and fit the structure.
class TBindingTable {
public:
    TBindingTable(const bs_code* codes, int32_t length, std::initializer_list<TBindingRows> rows);
    TBindingTable(const bs_code* codes, int32_t length, std::vector<TFieldBinding> rows);

    // Structure → controls.
    void Fill(TControlAccess& access, const void* s) const;
    // Controls → structure; only the bound fields change.
    void Read(const TControlAccess& access, void* s) const;
    // Refreshes the references whose type the structure decides, keeping their ids.
    void FillTypedTags(TControlAccess& access, const void* s) const;
    // Refreshes the numbers (values and ranges) only.
    void FillNumbers(TControlAccess& access, const void* s) const;
    // Refreshes the colour swatches only.
    void FillColors(TControlAccess& access, const void* s) const;

    const std::vector<TFieldBinding>& Rows() const { return fRows; }
    int32_t Length() const { return fLength; }
    // The field's width in bytes (1 for a raw byte).
    int Width(const TFieldBinding& row) const;
    // The bytes each row may change, as offsets; for tests.
    std::vector<int32_t> FieldBytes(const TFieldBinding& row) const;

    // A field of a structure in memory order as a number, and back (limited to the field).
    static int64_t Load(const void* s, int32_t offset, int width, bool is_signed, bool big_endian);
    static void Store(void* s, int32_t offset, int width, bool is_signed, bool big_endian, int64_t value);
    static int64_t Lowest(int width, bool is_signed);
    static int64_t Highest(int width, bool is_signed);

private:
    struct Field {
        int width;
        bool is_signed;
        bool big_endian;
    };
    Field FieldAt(const TFieldBinding& row, int32_t offset) const;
    void FillRow(TControlAccess& access, const TFieldBinding& row, const void* s) const;
    void Check() const;

    std::vector<TFieldBinding> fRows;
    std::vector<int8_t> fWidths;
    int32_t fLength;
};
