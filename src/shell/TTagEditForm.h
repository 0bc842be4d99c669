// The base of every tag editor form: the header strip (file button, path, Reload and
// Apply), the title, the program-wide list of open editors and the tag-changed
// broadcast, the load / apply / compare protocol, the close question, the reference
// button pairs with their pick list, Reload Tag, Apply Tag Changes and Tag Info, and
// the typed control accessors.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/XGError.h"
#include "shell/TControlAccess.h"
#include "shell/TTagEditorBase.h"

class TBindingTable;
class XGWindow;

class TTagEditForm : public TTagEditorBase {
    XG_DECLARE_DISPATCH()

public:
    // Header strip controls (view resource 133) and the menu commands they share ids with.
    static constexpr int32_t kHeaderResource = 133;
    static constexpr int32_t kHeaderHeight = 42;
    static constexpr int32_t kFileButton = 9801;
    static constexpr int32_t kPathText = 9802;
    static constexpr int32_t kReloadButton = 9803;
    static constexpr int32_t kApplyButton = 9804;
    static constexpr int32_t kNoteText = 9807;
    static constexpr int32_t kOverrideButton = 9808;
    static constexpr int32_t kProtectedText = 9809;
    static constexpr int32_t kCommandReloadTag = 9803;
    static constexpr int32_t kCommandApplyTagChanges = 9804;
    static constexpr int32_t kCommandTagInfo = 403;
    static constexpr int32_t kCommandOverrideInPlugin = 9808;
    // "Commit Tag Changes?"
    static constexpr int32_t kCommitResource = 132;
    static constexpr int32_t kCommitText = 1;
    static constexpr int32_t kCommitApply = 101;
    static constexpr int32_t kCommitCancel = 102;
    static constexpr int32_t kCommitDiscard = 103;

    // Joins the list of open editors; the window is built by Open.
    explicit TTagEditForm(tag_entry* e);
    ~TTagEditForm() override;

    // Builds the form's window from its view resource; the window owns the form from
    // then on. For the editor hooks.
    template <class F>
    static void* Open(tag_entry* e, int32_t resource)
    {
        auto form = std::make_unique<F>(e);
        XGWindow* w = form->BuildWindow(resource);
        form.release();
        return w;
    }

    void WindowBuilt() override;
    bool CanClose() override;

    // Controls → tag. Raises an error when the tag cannot be written (nothing changes).
    virtual void ApplyChanges() = 0;
    // Whether the controls differ from the tag.
    virtual bool HasChanges() = 0;
    // The tag file's path, relative to the application's folder.
    virtual void ShowFilePath();
    // A tag changed somewhere (the broadcast).
    virtual void TagChanged(tag_code type, tag_code id) {}
    // The form's own controls: true when it handled the message.
    virtual bool HandleControl(XGCode message, int32_t control) { return false; }

    // The form's binding table over the start of the tag's data, when it has one.
    virtual const TBindingTable* GetBindings() const { return nullptr; }
    // Reload and Apply are enabled exactly when the form has changes.
    void UpdateCommandButtons();
    // A line in the header in place of the path; empty clears it.
    void ShowNote(const std::string& text);
    std::string GetNote() const;

    // Apply as the person asks for it (the Apply button, Apply Tag Changes, the close
    // question): nothing is written when the form is read-only, and a number field whose
    // text is not a number refuses the whole Apply with an error naming the field.
    void ApplyFromControls();
    // A tag of a protected file (base, patch, read-only) is shown, not edited: the header
    // says why and offers "Override in Plugin...", and Apply stays disabled.
    bool IsReadOnly() const { return fReadOnly; }
    // Why the file's tags cannot be changed ("" when they can).
    static std::string ProtectedReason(const tag_file* f);

    // "File Write Error": the tag's data could not be written and is unchanged.
    static XGPostError WriteError(const tag_entry* e);

    // The open editor forms, oldest first.
    static const std::vector<TTagEditForm*>& OpenEditors();
    // TagChanged on every open editor in list order; then, once the current command is
    // done, the tag's file window shows it and its own editor is retitled.
    static void BroadcastTagChanged(tag_code type, tag_code id);

    // The typed accessors (missing controls: setters do nothing, getters give 0).
    TControlAccess& Access() { return fAccess; }
    void SetInteger(int32_t control, int32_t value) { fAccess.SetInteger(control, value); }
    void SetBoolean(int32_t control, bool value) { fAccess.SetBoolean(control, value); }
    void SetNumber(int32_t control, double value, int decimals) { fAccess.SetNumber(control, value, decimals); }
    void SetFixed16(int32_t control, uint32_t value) { fAccess.SetScaled(control, value, kFixed16Unit); }
    void SetFixed16Signed(int32_t control, int32_t value) { fAccess.SetScaled(control, value, kFixed16SignedUnit); }
    void SetFraction16(int32_t control, uint16_t value) { fAccess.SetScaled(control, value, kFraction16Unit); }
    void SetFixed8Signed(int32_t control, int16_t value) { fAccess.SetScaled(control, value, kFixed8SignedUnit); }
    void SetFixed8(int32_t control, uint16_t value) { fAccess.SetScaled(control, value, kFixed8Unit); }
    void SetFraction8(int32_t control, uint8_t value) { fAccess.SetScaled(control, value, kFraction8Unit); }
    void SetText(int32_t control, const std::string& text) { fAccess.SetText(control, text); }
    void SetTagRef(int32_t control, tag_code type, tag_code id) { fAccess.SetTagRef(control, type, id); }
    void SetWorldUnits(int32_t control, uint16_t value) { fAccess.SetScaled(control, value, kWorldUnitsUnit); }
    void SetWorldUnitsSigned(int32_t control, int16_t value)
    {
        fAccess.SetScaled(control, value, kWorldUnitsSignedUnit);
    }
    void SetAngle(int32_t control, uint16_t value) { fAccess.SetScaled(control, value, kAngleUnit); }
    void SetAngularRate(int32_t control, uint16_t value) { fAccess.SetScaled(control, value, kAngularRateUnit); }
    void SetColor(int32_t control, uint16_t red, uint16_t green, uint16_t blue)
    {
        fAccess.SetColor(control, red, green, blue);
    }
    int32_t GetInteger(int32_t control) const { return int32_t(fAccess.GetInteger(control)); }
    bool GetBoolean(int32_t control) const { return fAccess.GetBoolean(control); }
    double GetNumber(int32_t control) const { return fAccess.GetNumber(control); }
    uint32_t GetFixed16(int32_t control) const { return uint32_t(fAccess.GetScaled(control, kFixed16Unit)); }
    int32_t GetFixed16Signed(int32_t control) const { return int32_t(fAccess.GetScaled(control, kFixed16SignedUnit)); }
    uint16_t GetFraction16(int32_t control) const { return uint16_t(fAccess.GetScaled(control, kFraction16Unit)); }
    int16_t GetFixed8Signed(int32_t control) const { return int16_t(fAccess.GetScaled(control, kFixed8SignedUnit)); }
    uint16_t GetFixed8(int32_t control) const { return uint16_t(fAccess.GetScaled(control, kFixed8Unit)); }
    uint8_t GetFraction8(int32_t control) const { return uint8_t(fAccess.GetScaled(control, kFraction8Unit)); }
    std::string GetText(int32_t control) const { return fAccess.GetText(control); }
    tag_code GetTagRef(int32_t control) const { return fAccess.GetTagRef(control); }
    uint16_t GetWorldUnits(int32_t control) const { return uint16_t(fAccess.GetScaled(control, kWorldUnitsUnit)); }
    int16_t GetWorldUnitsSigned(int32_t control) const
    {
        return int16_t(fAccess.GetScaled(control, kWorldUnitsSignedUnit));
    }
    uint16_t GetAngle(int32_t control) const { return uint16_t(fAccess.GetScaled(control, kAngleUnit)); }
    uint16_t GetAngularRate(int32_t control) const { return uint16_t(fAccess.GetScaled(control, kAngularRateUnit)); }
    // Control state.
    void EnableView(int32_t control, bool enable) { EnableControl(control, enable); }
    void ShowView(int32_t control, bool show);
    bool IsViewShown(int32_t control) const;

protected:
    // The reference pair at control (the pick button): pick, and store what was picked.
    void PickTagRef(int32_t control);
    // Opens the editor of the tag a reference button names, when it is open.
    void OpenTagRef(int32_t control);
    // The store the form's tag lives in.
    TTagStore& Store() const { return *GetTag()->file->store; }

    TControlAccess fAccess;

private:
    int32_t DoStatus(XGCode code, XGParam id, XGParam status);
    int32_t DoMenu(XGCode code, XGParam id, XGParam);
    int32_t DoClick(XGCode code, XGParam id, XGParam view);
    int32_t DoValue(XGCode code, XGParam id, XGParam view);
    void ShowFileWindow();
    void TagInfo();
    // Follows the file's protection: the header text and the controls that change things.
    void UpdateReadOnly();
    void ShowHeaderText();
    // HasChanges, or a number field whose text is not a number.
    bool ControlsDiffer();

    bool fReadOnly = false;
    std::string fNote;
};
