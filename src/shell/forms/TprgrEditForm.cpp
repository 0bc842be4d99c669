// Projectile group: its mesh effect, sound and local projectile group, and its parts,
// each edited in "Projectile Group Part". The parts in use stay between 1 and 15: Add
// and Duplicate are not offered at 15, Delete not on the last part.
#include <algorithm>
#include <cstddef>

#include "framework/qt/XGListControl.h"
#include "shell/TEditDialogForm.h"
#include "shell/TStructEditForm.h"
#include "shell/TTagPickList.h"
#include "shell/forms/editor_forms.h"
#include "shell/forms/record_rows.h"
#include "tags/gameplay/prgr.h"

namespace {

using T = projectile_group_definition;
using Part = projectile_group_part;

enum : int32_t {
    kMeshEffect = 21301,
    kSound = 21303,
    kLocalProjectileGroup = 21305,
    kParts = 21310,
    kAdd = 21311,
    kEdit = 21312,
    kDuplicate = 21313,
    kDelete = 21314,
    // "Projectile Group Part"
    kPartResource = 147,
    kPartOK = 1,
    kPartProjectile = 11,
    kPartField4 = 20,
    kPartField8 = 21,
    kPartField20 = 25,
};

// One part record on its own.
constexpr bs_code kPartCodes[] = {_begin_bs_array, 1, _4byte, _4byte, _2byte, _2byte, _2byte, _2byte, 4, _2byte, 8, 2,
                                  _end_bs_array};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_tag(kMeshEffect, offsetof(T, mesh_effect_tag), "meef"_4cc),
        bind_tag(kSound, offsetof(T, sound_tag), "soun"_4cc),
        bind_tag(kLocalProjectileGroup, offsetof(T, local_projectile_group_tag), "lpgr"_4cc),
    });
    return table;
}

const TBindingTable& PartTable()
{
    static const TBindingTable table(kPartCodes, sizeof(Part),
                                     {
                                         bind_tag(kPartProjectile, offsetof(Part, projectile_tag), "proj"_4cc),
                                         bind_value(kPartField4, offsetof(Part, field_4), kInteger32Unit),
                                         value_series(kPartField8, offsetof(Part, field_8), 4, 2, kInteger16Unit),
                                         bind_value(kPartField20, offsetof(Part, field_20), kInteger16Unit),
                                     });
    return table;
}

Part NewPart()
{
    Part part{};
    part.projectile_tag = NONE_TAG;
    return part;
}

class TprgrEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1019;
    explicit TprgrEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}

protected:
    void FillControls() override
    {
        TStructEditForm::FillControls();
        FillParts(GetControlValue(kParts));
    }

    void UpdateControls() override
    {
        int count = projectile_group_parts_in_use(fCopy);
        bool selected = Selected() >= 0;
        EnableView(kAdd, count < MAXIMUM_PARTS_PER_PROJECTILE_GROUP);
        EnableView(kDuplicate, selected && count < MAXIMUM_PARTS_PER_PROJECTILE_GROUP);
        EnableView(kEdit, selected);
        EnableView(kDelete, selected && count > 1);
    }

    bool HandleControl(XGCode message, int32_t control) override
    {
        if (control == kParts) {
            if (message == "lval"_4cc && Selected() >= 0) EditPart(Selected());
            UpdateControls();
            return true;
        }
        if (message != "cclk"_4cc) return TStructEditForm::HandleControl(message, control);
        int count = projectile_group_parts_in_use(fCopy);
        int row = Selected();
        switch (control) {
        case kAdd: {
            if (count >= MAXIMUM_PARTS_PER_PROJECTILE_GROUP) return true;
            Part part = NewPart();
            if (!TEditDialogForm::Run(kPartResource, kPartOK, PartTable(), &part, GetTag()->file)) return true;
            fCopy.parts[count] = part;
            fCopy.part_count = int16_t(count + 1);
            FillParts(count);
            return true;
        }
        case kEdit:
            if (row >= 0) EditPart(row);
            return true;
        case kDuplicate:
            if (!duplicate_record(fCopy.parts, count, row, MAXIMUM_PARTS_PER_PROJECTILE_GROUP)) return true;
            fCopy.part_count = int16_t(count);
            FillParts(row + 1);
            return true;
        case kDelete:
            if (!delete_record(fCopy.parts, count, row, NewPart(), 1)) return true;
            fCopy.part_count = int16_t(count);
            FillParts(std::min(row, count - 1));
            return true;
        default: return TStructEditForm::HandleControl(message, control);
        }
    }

private:
    int Selected() const
    {
        int row = GetControlValue(kParts);
        return row >= 0 && row < projectile_group_parts_in_use(fCopy) ? row : -1;
    }

    void EditPart(int row)
    {
        Part part = fCopy.parts[row];
        if (TEditDialogForm::Run(kPartResource, kPartOK, PartTable(), &part, GetTag()->file)) fCopy.parts[row] = part;
        FillParts(row);
    }

    void FillParts(int selected)
    {
        auto* list = dynamic_cast<XGListControl*>(FindView(kParts));
        if (!list) return;
        std::vector<std::string> rows;
        for (int i = 0; i < projectile_group_parts_in_use(fCopy); ++i) {
            tag_code id = fCopy.parts[i].projectile_tag;
            rows.push_back("Part " + std::to_string(i + 1) + ": " +
                           TTagPickList::ReferenceLabel(&Store(), "proj"_4cc, id));
        }
        list->SetItems(rows);
        list->SetValue(selected < int(rows.size()) ? selected : -1);
        UpdateControls();
    }
};

} // namespace

void* open_prgr_editor(tag_entry* e)
{
    return TTagEditForm::Open<TprgrEditForm>(e, TprgrEditForm::kResource);
}
