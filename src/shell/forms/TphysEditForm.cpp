// Local physics: its type, and the parameters of that type in a dialog of their own.
// The parameters lie in bytes the structure keeps as they are stored; each dialog
// shows them as fifteen big-endian 16.16 numbers.
#include <cstddef>

#include "shell/TEditDialogForm.h"
#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/phys.h"

namespace {

using T = local_physics_definition;

enum : int32_t {
    kType = 20500,
    kEditPhysics = 20501,
    // the physics dialogs
    kDialogOK = 1,
    kDialogCancel = 2,
    kFirstParameter = 10,
};

constexpr int kParameterCount = 15;

const char* const kTypeItems[] = {"Linear",    "Cylindrical", "Spherical Spring", "Point Attractor",
                                  "Converging", "Pell's Explosive Gas"};
// "Linear Physics" ... "Pell's Explosive Gas", by type
const int32_t kDialogs[] = {156, 157, 158, 159, 160, 163};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({bind_popup(kType, offsetof(T, type), kTypeItems)});
    return table;
}

// The parameters, big-endian in bytes the description leaves raw.
std::vector<TFieldBinding> Parameters()
{
    std::vector<TFieldBinding> rows;
    for (int i = 0; i < kParameterCount; ++i)
        rows.push_back(bind_raw_value(kFirstParameter + i, int32_t(offsetof(T, raw_4)) + 4 * i, 4, kFixed16SignedUnit));
    return rows;
}

const TBindingTable& ParameterTable()
{
    static const TBindingTable table = struct_bindings<T>({Parameters()});
    return table;
}

class TphysEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1008;
    explicit TphysEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}

protected:
    void UpdateControls() override { EnableView(kEditPhysics, fCopy.type >= 0 && fCopy.type < 6); }

    bool HandleControl(XGCode message, int32_t control) override
    {
        TStructEditForm::HandleControl(message, control);
        if (message == "pval"_4cc && control == kType) {
            ReadControls();
            UpdateControls();
            return true;
        }
        if (message != "cclk"_4cc || control != kEditPhysics) return false;
        ReadControls();
        if (fCopy.type < 0 || fCopy.type >= 6) return true;
        TEditDialogForm::Run(kDialogs[fCopy.type], kDialogOK, ParameterTable(), &fCopy, GetTag()->file);
        return true;
    }
};

} // namespace

void* open_phys_editor(tag_entry* e)
{
    return TTagEditForm::Open<TphysEditForm>(e, TphysEditForm::kResource);
}
