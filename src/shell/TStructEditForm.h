// A tag editor form over one fixed structure at the start of the tag's data: a copy of
// the structure, filled into the controls through a binding table and read back from
// them. Forms with controls of their own override FillControls and ReadControls and
// call the table through the base versions.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "framework/XGError.h"
#include "shell/TFieldBinding.h"
#include "shell/TTagEditForm.h"
#include "tags/gameplay/tag_struct.h"

// A binding table over the type's structure.
template <class T>
TBindingTable struct_bindings(std::initializer_list<TBindingRows> rows)
{
    return TBindingTable(tag_struct_info<T>::codes, int32_t(sizeof(T)), rows);
}

template <class T>
class TStructEditForm : public TTagEditForm {
public:
    using Structure = T;

    TStructEditForm(tag_entry* e, const TBindingTable& table) : TTagEditForm(e), fTable(table) {}

    // Tag → copy → controls. A tag whose data cannot be had, or is shorter than the
    // structure, leaves the controls as they are and says so; the copy then holds
    // whatever bytes there are, so that Apply writes them back with the controls.
    void LoadTag() override
    {
        T copy{};
        if (ReadTag(copy)) {
            fCopy = copy;
            ShowNote("");
            FillControls();
        } else {
            ShowNote(ShortDataNote());
        }
        UpdateCommandButtons();
    }

    bool HasChanges() override
    {
        ReadControls();
        return CompareTag();
    }

    void ApplyChanges() override
    {
        ReadControls();
        if (!WriteTag()) throw TTagEditForm::WriteError(GetTag());
        ShowNote("");
        // a number limited to its field shows as it was stored
        fTable.FillNumbers(fAccess, &fCopy);
        UpdateCommandButtons();
    }

    const TBindingTable* GetBindings() const override { return &fTable; }
    const TBindingTable& GetTable() const { return fTable; }

protected:
    virtual void FillControls()
    {
        fTable.Fill(fAccess, &fCopy);
        UpdateControls();
    }
    // Enables and shows what the copy calls for; after every fill and every change.
    virtual void UpdateControls() {}
    virtual void ReadControls() { fTable.Read(fAccess, &fCopy); }
    virtual bool ReadTag(T& s) { return read_tag_struct(GetTag(), s); }
    virtual bool WriteTag() { return write_tag_struct(GetTag(), fCopy); }
    virtual bool CompareTag() { return compare_tag_struct(GetTag(), fCopy, false); }
    // Stored bytes (file order, a whole structure) into the copy's memory order.
    virtual void Decode(const uint8_t* bytes, T& s)
    {
        byte_swap_copy(tag_struct_info<T>::label, &s, bytes, int32_t(sizeof(T)), 1, tag_struct_info<T>::codes);
    }

    bool HandleControl(XGCode message, int32_t control) override
    {
        if (message == "sval"_4cc) {
            // colour swatches follow their channels
            ReadControls();
            fTable.FillColors(fAccess, &fCopy);
        } else if (message == "cclk"_4cc) {
            // a flag may decide the type of a reference
            ReadControls();
            fTable.FillTypedTags(fAccess, &fCopy);
            UpdateControls();
        }
        return false;
    }

    T fCopy{};
    const TBindingTable& fTable;

private:
    std::string ShortDataNote()
    {
        uint32_t size = 0;
        const uint8_t* data = tag_get_data(GetTag(), &size);
        if (!data) return "The tag's data cannot be read; the fields show nothing.";
        // keep what there is for the fields no control shows
        std::vector<uint8_t> bytes(sizeof(T), 0);
        std::memcpy(bytes.data(), data, std::min<size_t>(size, sizeof(T)));
        Decode(bytes.data(), fCopy);
        return "The tag's data is " + std::to_string(size) + " bytes, shorter than its " +
               std::to_string(sizeof(T)) + "-byte structure; the fields show nothing, and Apply writes them whole.";
    }
};
