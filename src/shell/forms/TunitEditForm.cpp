// Unit: its monster, and for the base and each of the three variations a decal and eight numbers.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/unit.h"

namespace {

using T = unit_definition;

enum : int32_t {
    kMonster = 22001,
    kDecal = 22011,
    kFirstNumber = 22020,
};

// The decal and the numbers of record r.
std::vector<TFieldBinding> Record(int r)
{
    int32_t at = int32_t(offsetof(T, records) + sizeof(unit_record) * size_t(r));
    std::vector<TFieldBinding> rows =
        value_series(kFirstNumber + 10 * r, at + int32_t(offsetof(unit_record, field_8)), 8, 2, kInteger16Unit);
    rows.insert(rows.begin(), bind_tag(kDecal + 2 * r, at + int32_t(offsetof(unit_record, texture_stack_tag)), "txst"_4cc));
    return rows;
}

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_tag(kMonster, offsetof(T, monster_tag), "mons"_4cc),
        Record(0),
        Record(1),
        Record(2),
        Record(3),
    });
    return table;
}

class TunitEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1027;
    explicit TunitEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}
};

} // namespace

void* open_unit_editor(tag_entry* e)
{
    return TTagEditForm::Open<TunitEditForm>(e, TunitEditForm::kResource);
}
