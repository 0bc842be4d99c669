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

const TBindingTable& Table()
{
    static const TBindingTable table = [] {
        std::vector<TFieldBinding> rows = {
            bind_tag(kMonster, offsetof(T, monster_tag), "mons"_4cc),
        };
        for (int r = 0; r < NUMBER_OF_UNIT_RECORDS; ++r) {
            int32_t at = int32_t(offsetof(T, records) + sizeof(unit_record) * size_t(r));
            rows.push_back(bind_tag(kDecal + 2 * r, at + int32_t(offsetof(unit_record, texture_stack_tag)), "txst"_4cc));
            bind_series(rows, kFirstNumber + 10 * r, at + int32_t(offsetof(unit_record, field_8)), 8, 2, kInteger16Unit);
        }
        return TBindingTable(tag_struct_info<T>::codes, sizeof(T), rows);
    }();
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
