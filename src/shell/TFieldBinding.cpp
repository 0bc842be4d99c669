#include "shell/TFieldBinding.h"

#include <algorithm>
#include <cstring>

#include "framework/ProgramAssert.h"
#include "framework/qt/XGPopupMenu.h"
#include "shell/TControlAccess.h"
#include "shell/tag_range.h"
#include "tags/gameplay/tag_struct.h"

std::vector<TFieldBinding> value_series(int32_t control, int32_t offset, int count, int32_t stride,
                                        const TFieldUnit& unit, int32_t step)
{
    std::vector<TFieldBinding> rows;
    for (int i = 0; i < count; ++i) rows.push_back(bind_value(control + i * step, offset + i * stride, unit));
    return rows;
}

std::vector<TFieldBinding> tag_series(int32_t control, int32_t offset, int count, tag_code type)
{
    std::vector<TFieldBinding> rows;
    for (int i = 0; i < count; ++i) rows.push_back(bind_tag(control + 2 * i, offset + 4 * i, type));
    return rows;
}

namespace {

std::vector<TFieldBinding> Joined(std::initializer_list<TBindingRows> parts)
{
    std::vector<TFieldBinding> rows;
    for (const TBindingRows& part : parts) rows.insert(rows.end(), part.rows.begin(), part.rows.end());
    return rows;
}

} // namespace

TBindingTable::TBindingTable(const bs_code* codes, int32_t length, std::initializer_list<TBindingRows> rows)
    : TBindingTable(codes, length, Joined(rows))
{
}

TBindingTable::TBindingTable(const bs_code* codes, int32_t length, std::vector<TFieldBinding> rows)
    : fRows(std::move(rows)), fWidths(tag_struct_field_widths(codes)), fLength(length)
{
    PROGRAM_ASSERT(int32_t(fWidths.size()) == length, "TFieldBinding");
    Check();
}

TBindingTable::Field TBindingTable::FieldAt(const TFieldBinding& row, int32_t offset) const
{
    if (row.width > 0) return {row.width, row.unit->is_signed && row.field_signed != 0, row.width > 1};
    int width = fWidths[size_t(offset)] > 0 ? fWidths[size_t(offset)] : 1;
    bool is_signed = row.field_signed < 0 ? row.unit->is_signed : row.field_signed == 1;
    return {width, is_signed, false};
}

int TBindingTable::Width(const TFieldBinding& row) const
{
    return FieldAt(row, row.offset).width;
}

void TBindingTable::Check() const
{
    auto checkField = [this](const TFieldBinding& row, int32_t offset, int count) {
        PROGRAM_ASSERT(offset >= 0 && offset < fLength, "TFieldBinding");
        int8_t described = fWidths[size_t(offset)];
        // a numbered field starts at the offset, or the row says how wide a raw one is
        PROGRAM_ASSERT(row.width > 0 ? described == 0 : described != -1, "TFieldBinding");
        int width = FieldAt(row, offset).width;
        PROGRAM_ASSERT(offset + width * count <= fLength, "TFieldBinding");
    };
    for (const TFieldBinding& row : fRows) {
        PROGRAM_ASSERT(row.control != 0 && row.unit != nullptr, "TFieldBinding");
        checkField(row, row.offset, row.kind == TFieldKind::Color ? 3 : 1);
        if (row.kind == TFieldKind::Range) checkField(row, row.delta_offset, 1);
        if (row.kind == TFieldKind::Popup) PROGRAM_ASSERT(row.items && row.item_count > 0, "TFieldBinding");
        if (row.kind == TFieldKind::TagRef) PROGRAM_ASSERT(Width(row) == 4, "TFieldBinding");
    }
}

std::vector<int32_t> TBindingTable::FieldBytes(const TFieldBinding& row) const
{
    std::vector<int32_t> bytes;
    auto add = [&](int32_t offset, int count) {
        int width = FieldAt(row, offset).width;
        for (int i = 0; i < width * count; ++i) bytes.push_back(offset + i);
    };
    if (row.kind == TFieldKind::Color) return bytes;
    add(row.offset, 1);
    if (row.kind == TFieldKind::Range) add(row.delta_offset, 1);
    return bytes;
}

int64_t TBindingTable::Lowest(int width, bool is_signed)
{
    return is_signed ? -(int64_t(1) << (width * 8 - 1)) : 0;
}

int64_t TBindingTable::Highest(int width, bool is_signed)
{
    return is_signed ? (int64_t(1) << (width * 8 - 1)) - 1 : (int64_t(1) << (width * 8)) - 1;
}

int64_t TBindingTable::Load(const void* s, int32_t offset, int width, bool is_signed, bool big_endian)
{
    const auto* p = static_cast<const uint8_t*>(s) + offset;
    uint32_t bits = 0;
    if (big_endian) {
        for (int i = 0; i < width; ++i) bits = (bits << 8) | p[i];
    } else if (width == 4) {
        std::memcpy(&bits, p, 4);
    } else if (width == 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        bits = v;
    } else {
        bits = p[0];
    }
    if (!is_signed) return int64_t(bits);
    int shift = 64 - width * 8;
    return int64_t(uint64_t(bits) << shift) >> shift;
}

void TBindingTable::Store(void* s, int32_t offset, int width, bool is_signed, bool big_endian, int64_t value)
{
    value = std::clamp(value, Lowest(width, is_signed), Highest(width, is_signed));
    auto bits = uint32_t(uint64_t(value));
    auto* p = static_cast<uint8_t*>(s) + offset;
    if (big_endian) {
        for (int i = width - 1; i >= 0; --i, bits >>= 8) p[i] = uint8_t(bits);
    } else if (width == 4) {
        std::memcpy(p, &bits, 4);
    } else if (width == 2) {
        auto v = uint16_t(bits);
        std::memcpy(p, &v, 2);
    } else {
        p[0] = uint8_t(bits);
    }
}

void TBindingTable::FillNumbers(TControlAccess& access, const void* s) const
{
    for (const TFieldBinding& row : fRows)
        if (row.kind == TFieldKind::Scaled || row.kind == TFieldKind::Range) FillRow(access, row, s);
}

void TBindingTable::Fill(TControlAccess& access, const void* s) const
{
    for (const TFieldBinding& row : fRows) FillRow(access, row, s);
    FillColors(access, s);
}

void TBindingTable::FillRow(TControlAccess& access, const TFieldBinding& row, const void* s) const
{
    {
        Field f = FieldAt(row, row.offset);
        int64_t value = Load(s, row.offset, f.width, f.is_signed, f.big_endian);
        switch (row.kind) {
        case TFieldKind::Scaled: access.SetScaled(row.control, value, *row.unit); break;
        case TFieldKind::Flag: access.SetInteger(row.control, (uint64_t(value) & row.mask) ? 1 : 0); break;
        case TFieldKind::Popup: {
            auto* popup = dynamic_cast<XGPopupMenu*>(access.Find(row.control));
            if (!popup) {
                if (row.list_name) ProgramAssertFailed(row.list_name, row.source ? row.source : "TFieldBinding", __LINE__);
                break;
            }
            popup->SetItems(std::vector<std::string>(row.items, row.items + row.item_count));
            access.SetInteger(row.control, value + row.bias);
            break;
        }
        case TFieldKind::TagRef:
            access.SetTagRef(row.control, row.type_of ? row.type_of(s) : row.type, tag_code(uint32_t(value)));
            break;
        case TFieldKind::Range: {
            Field d = FieldAt(row, row.delta_offset);
            int64_t delta = Load(s, row.delta_offset, d.width, d.is_signed, d.big_endian);
            access.SetScaled(row.control, value, *row.unit);
            access.SetScaled(row.upper_control,
                             range_decode(value, delta, Lowest(f.width, f.is_signed), Highest(f.width, f.is_signed)),
                             *row.unit);
            break;
        }
        case TFieldKind::Color: break;
        }
    }
}

void TBindingTable::FillTypedTags(TControlAccess& access, const void* s) const
{
    for (const TFieldBinding& row : fRows) {
        if (row.kind != TFieldKind::TagRef || !row.type_of) continue;
        Field f = FieldAt(row, row.offset);
        access.SetTagRef(row.control, row.type_of(s),
                         tag_code(uint32_t(Load(s, row.offset, f.width, f.is_signed, f.big_endian))));
    }
}

void TBindingTable::FillColors(TControlAccess& access, const void* s) const
{
    for (const TFieldBinding& row : fRows) {
        if (row.kind != TFieldKind::Color) continue;
        auto channel = [&](int i) { return uint16_t(Load(s, row.offset + 2 * i, 2, false, row.width > 0)); };
        access.SetColor(row.control, channel(0), channel(1), channel(2));
    }
}

void TBindingTable::Read(const TControlAccess& access, void* s) const
{
    for (const TFieldBinding& row : fRows) {
        Field f = FieldAt(row, row.offset);
        int64_t lo = Lowest(f.width, f.is_signed), hi = Highest(f.width, f.is_signed);
        auto store = [&](int64_t value) { Store(s, row.offset, f.width, f.is_signed, f.big_endian, value); };
        if (!access.Find(row.control)) continue;
        switch (row.kind) {
        case TFieldKind::Scaled: store(access.GetScaled(row.control, *row.unit, lo, hi)); break;
        case TFieldKind::Flag: {
            int64_t value = Load(s, row.offset, f.width, f.is_signed, f.big_endian);
            uint64_t bits = uint64_t(value);
            bits = access.GetBoolean(row.control) ? bits | row.mask : bits & ~uint64_t(row.mask);
            // the other bits as they were, whatever the sign
            Store(s, row.offset, f.width, false, f.big_endian,
                  int64_t(bits & uint64_t(Highest(f.width, false))));
            break;
        }
        case TFieldKind::Popup: {
            int64_t item = access.GetInteger(row.control, INT64_MIN, INT64_MAX);
            if (access.IsUnchanged(row.control)) {
                store(item - row.bias);
                break;
            }
            // no item chosen keeps the field
            if (item >= 0) store(item - row.bias);
            break;
        }
        case TFieldKind::TagRef: store(int64_t(uint32_t(access.GetTagRef(row.control)))); break;
        case TFieldKind::Range: {
            Field d = FieldAt(row, row.delta_offset);
            bool same = access.IsUnchanged(row.control) && access.IsUnchanged(row.upper_control);
            int64_t lower = access.GetScaled(row.control, *row.unit, lo, hi);
            int64_t upper = access.GetScaled(row.upper_control, *row.unit, lo, hi);
            store(lower);
            if (!same && access.Find(row.upper_control))
                Store(s, row.delta_offset, d.width, d.is_signed, d.big_endian,
                      range_encode(lower, upper, Highest(d.width, d.is_signed)));
            break;
        }
        case TFieldKind::Color: break;
        }
    }
}
