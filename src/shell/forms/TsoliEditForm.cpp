// Sound list: the sounds in use, with Add (pick a sound), Duplicate and Delete; a
// double-click picks another sound for the row. The stored count is kept until the
// list is edited.
#include <algorithm>
#include <cstddef>

#include "framework/qt/XGListControl.h"
#include "shell/TStructEditForm.h"
#include "shell/TTagPickList.h"
#include "shell/forms/editor_forms.h"
#include "shell/forms/record_rows.h"
#include "sound/sound_list.h"

template <>
struct tag_struct_info<sound_list> {
    static constexpr tag_code type = "soli"_4cc;
    static constexpr const char* label = "soli";
    static constexpr const bs_code* codes = sound_list_bs;
};

namespace {

using T = sound_list;

enum : int32_t {
    kList = 21600,
    kAdd = 21601,
    kDuplicate = 21602,
    kDelete = 21603,
};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({});
    return table;
}

class TsoliEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1022;
    explicit TsoliEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}

protected:
    void FillControls() override
    {
        FillList(GetControlValue(kList));
        TStructEditForm::FillControls();
    }

    void UpdateControls() override
    {
        int count = sound_list_count(fCopy);
        bool selected = GetSelected() >= 0;
        EnableView(kAdd, count < MAXIMUM_SOUNDS_PER_LIST);
        EnableView(kDuplicate, selected && count < MAXIMUM_SOUNDS_PER_LIST);
        EnableView(kDelete, selected);
    }

    bool HandleControl(XGCode message, int32_t control) override
    {
        if (control == kList && message == "lsel"_4cc) {
            UpdateControls();
            return true;
        }
        int count = sound_list_count(fCopy);
        int row = GetSelected();
        if (control == kList && message == "lval"_4cc && row >= 0) {
            tag_code id = TTagPickList::Run("soun"_4cc, fCopy.sounds[row].sound, GetTag()->file);
            if (id != 0) fCopy.sounds[row].sound = id;
            FillList(row);
            return true;
        }
        if (message != "cclk"_4cc) return false;
        switch (control) {
        case kAdd: {
            if (count >= MAXIMUM_SOUNDS_PER_LIST) return true;
            tag_code id = TTagPickList::Run("soun"_4cc, NONE_TAG, GetTag()->file);
            if (id == 0) return true;
            fCopy.sounds[count] = {id, {}};
            fCopy.count = int16_t(count + 1);
            FillList(count);
            return true;
        }
        case kDuplicate:
            if (!duplicate_record(fCopy.sounds, count, row, MAXIMUM_SOUNDS_PER_LIST)) return true;
            fCopy.count = int16_t(count);
            FillList(row + 1);
            return true;
        case kDelete:
            if (!delete_record(fCopy.sounds, count, row, sound_list_entry{NONE_TAG, {}})) return true;
            fCopy.count = int16_t(count);
            FillList(std::min(row, count - 1));
            return true;
        default: return false;
        }
    }

private:
    int GetSelected() const
    {
        int row = GetControlValue(kList);
        return row >= 0 && row < sound_list_count(fCopy) ? row : -1;
    }

    void FillList(int selected)
    {
        auto* list = dynamic_cast<XGListControl*>(FindView(kList));
        if (!list) return;
        std::vector<std::string> rows;
        for (int i = 0; i < sound_list_count(fCopy); ++i) {
            tag_code id = fCopy.sounds[i].sound;
            rows.push_back(tag_code_to_text(id) + "  " + TTagPickList::ReferenceLabel(&Store(), "soun"_4cc, id));
        }
        list->SetItems(rows);
        list->SetValue(selected < int(rows.size()) ? selected : -1);
        UpdateControls();
    }
};

} // namespace

void* open_soli_editor(tag_entry* e)
{
    return TTagEditForm::Open<TsoliEditForm>(e, TsoliEditForm::kResource);
}
