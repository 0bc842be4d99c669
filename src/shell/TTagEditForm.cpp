#include "shell/TTagEditForm.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <utility>

#include "framework/XGError.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGEditText.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGModalDialog.h"
#include "framework/qt/XGPushButton.h"
#include "framework/qt/XGRadioButton.h"
#include "framework/qt/XGView.h"
#include "framework/qt/XGWindow.h"
#include "shell/TOverrideInPlugin.h"
#include "shell/TTagFileForm.h"
#include "shell/TTagInfoDialog.h"
#include "shell/TTagPickList.h"
#include "shell/TTolvaneApp.h"
#include "tags/gameplay/tag_struct.h"

namespace {

constexpr int kMinimumWindowSize = 300;

std::vector<TTagEditForm*>& Editors()
{
    static std::vector<TTagEditForm*> editors;
    return editors;
}

// Tags whose file windows still have to show a change, in the order they changed.
std::vector<std::pair<tag_code, tag_code>>& PendingChanges()
{
    static std::vector<std::pair<tag_code, tag_code>> pending;
    return pending;
}

void ShowPendingChanges()
{
    std::vector<std::pair<tag_code, tag_code>> pending;
    std::swap(pending, PendingChanges());
    TTolvaneApp* app = TTolvaneApp::Get();
    if (!app) return;
    // each file window is rebuilt once; the last changed tag of it is selected
    std::vector<TTagFileForm*> refreshed;
    for (auto [type, id] : pending) {
        XGGuard([&, type = type, id = id] {
            tag_entry* e = app->GetStore().find_tag(type, id);
            if (!e) return;
            if (TTagFileForm* window = TTagFileForm::FromFile(e->file)) {
                if (std::find(refreshed.begin(), refreshed.end(), window) == refreshed.end()) {
                    window->Refresh(true);
                    window->UpdateTitle();
                    refreshed.push_back(window);
                }
                window->SelectTag(e, true, true);
            }
            if (TTagEditorBase* editor = TTagEditorBase::FromTag(e)) editor->UpdateTitle();
        });
    }
}

void Replace(std::string& text, const std::string& what, const std::string& with)
{
    size_t at = text.find(what);
    if (at != std::string::npos) text.replace(at, what.size(), with);
}

} // namespace

XG_BEGIN_DISPATCH(TTagEditForm, TTagEditorBase)
    XG_ON(kXGStatusMessage, &TTagEditForm::DoStatus)
    XG_ON(kXGMenuMessage, &TTagEditForm::DoMenu)
    XG_ON(kXGClickMessage, &TTagEditForm::DoClick)
    XG_ON(kXGKeyClickMessage, &TTagEditForm::DoClick)
    XG_ON(kXGSetValueMessage, &TTagEditForm::DoValue)
    XG_ON(kXGPopupValueMessage, &TTagEditForm::DoValue)
    XG_ON(kXGListSelectMessage, &TTagEditForm::DoValue)
    XG_ON(kXGListValueMessage, &TTagEditForm::DoValue)
XG_END_DISPATCH()

TTagEditForm::TTagEditForm(tag_entry* e) : TTagEditorBase(e), fAccess(*this, e->file->store)
{
    Editors().push_back(this);
}

TTagEditForm::~TTagEditForm()
{
    auto& editors = Editors();
    editors.erase(std::remove(editors.begin(), editors.end(), this), editors.end());
}

const std::vector<TTagEditForm*>& TTagEditForm::OpenEditors()
{
    return Editors();
}

void TTagEditForm::BroadcastTagChanged(tag_code type, tag_code id)
{
    for (TTagEditForm* editor : std::vector<TTagEditForm*>(Editors()))
        if (std::find(Editors().begin(), Editors().end(), editor) != Editors().end())
            XGGuard([&] { editor->TagChanged(type, id); });
    auto& pending = PendingChanges();
    if (std::find(pending.begin(), pending.end(), std::make_pair(type, id)) != pending.end()) return;
    pending.emplace_back(type, id);
    // a script changes many tags: the windows catch up once
    if (pending.size() == 1 && qApp) QTimer::singleShot(0, qApp, ShowPendingChanges);
}

XGPostError TTagEditForm::WriteError(const tag_entry* e)
{
    std::string file = e->file->path.empty() ? std::string("unsaved file") : tag_file_name(e->file);
    return XGPostError(kXGFileWriteError, {file + " - The tag " + tag_label(e) + " could not be written; it is unchanged."});
}

void TTagEditForm::WindowBuilt()
{
    XGWindow* w = GetWindow();
    XGView* header = nullptr;
    for (XGView* v : w->GetRootView()->GetSubviews())
        if (v->GetClassCode() == "TGED"_4cc) header = v;
    if (!header) return;
    if (auto* apply = dynamic_cast<XGPushButton*>(FindView(kApplyButton))) {
        apply->SetDefault(true);
        w->SetDefaultButton(kApplyButton);
    }
    ShowFilePath();
    UpdateReadOnly();

    int height = header->GetFrame().height;
    for (XGView* v : std::vector<XGView*>(w->GetRootView()->GetSubviews())) {
        if (v == header) continue;
        XGRect f = v->GetFrame();
        f.top += height;
        v->SetFrame(f);
    }
    QWidget* content = w->GetWidget();
    auto grown = [height](QSize s) {
        auto grow = [](int v, int by) { return v >= QWIDGETSIZE_MAX - by ? v : v + by; };
        return QSize(std::max(s.width(), kMinimumWindowSize), std::max(grow(s.height(), height), kMinimumWindowSize));
    };
    QSize minimum = grown(content->minimumSize()), maximum = grown(content->maximumSize());
    QSize size = grown(content->size());
    w->SetMinimumSize(minimum.width(), minimum.height());
    w->SetMaximumSize(std::max(maximum.width(), minimum.width()), std::max(maximum.height(), minimum.height()));
    w->Resize(size.width(), size.height());
    UpdateCommandButtons();
}

void TTagEditForm::ShowFilePath()
{
    SetControlText(kPathText, TTagPickList::ShownPath(GetTag()->file));
}

void TTagEditForm::ShowNote(const std::string& text)
{
    fNote = text;
    ShowHeaderText();
}

std::string TTagEditForm::GetNote() const
{
    return fNote;
}

void TTagEditForm::ShowHeaderText()
{
    XGView* note = FindView(kNoteText);
    XGView* path = FindView(kPathText);
    XGView* protectedText = FindView(kProtectedText);
    if (fReadOnly && protectedText) {
        std::string reason = ProtectedReason(GetTag()->file);
        protectedText->SetText(fNote.empty() ? reason : reason + "\n" + fNote);
        protectedText->Show(true);
        if (note) note->Show(false);
        if (path) path->Show(false);
        return;
    }
    if (protectedText) protectedText->Show(false);
    if (note) {
        note->SetText(fNote);
        note->Show(!fNote.empty());
    }
    if (path) path->Show(fNote.empty() || !note);
}

std::string TTagEditForm::ProtectedReason(const tag_file* f)
{
    if (f->kind == TAG_FILE_KIND_BASE) return "Base file: changes cannot be saved here";
    if (f->kind == TAG_FILE_KIND_PATCH) return "Patch file: changes cannot be saved here";
    if (f->read_only) return "Read-only file: changes cannot be saved here";
    return {};
}

void TTagEditForm::UpdateReadOnly()
{
    bool readOnly = tag_file_is_protected(GetTag()->file);
    if (readOnly == fReadOnly) return;
    fReadOnly = readOnly;
    if (XGView* override = FindView(kOverrideButton)) override->Show(fReadOnly);
    ShowHeaderText();
    // the fields can be read and copied; nothing that changes the copy is offered
    XGWindow* w = GetWindow();
    if (!w) return;
    std::vector<XGView*> views{w->GetRootView()};
    while (!views.empty()) {
        XGView* v = views.back();
        views.pop_back();
        if (v->GetClassCode() == "TGED"_4cc) continue;
        for (XGView* sub : v->GetSubviews()) views.push_back(sub);
        switch (v->GetClassCode()) {
        case "edit"_4cc:
            if (auto* edit = dynamic_cast<XGEditText*>(v)) edit->SetReadOnly(fReadOnly);
            break;
        case "chkb"_4cc:
        case "radb"_4cc:
        case "popm"_4cc:
        case "slid"_4cc: v->Enable(!fReadOnly); break;
        default: break;
        }
    }
}

void TTagEditForm::ApplyFromControls()
{
    if (fReadOnly) return;
    // every field is read before anything is written
    fAccess.ClearRefused();
    HasChanges();
    if (fAccess.GetRefused()) {
        std::string message = fAccess.RefusedMessage();
        fAccess.ClearRefused();
        throw XGError(kXGError, "Not a Number", message + " Nothing was applied.");
    }
    ApplyChanges();
}

void TTagEditForm::ShowView(int32_t control, bool show)
{
    if (XGView* v = FindView(control)) v->Show(show);
}

bool TTagEditForm::IsViewShown(int32_t control) const
{
    XGView* v = FindView(control);
    return v && v->IsShown();
}

bool TTagEditForm::ControlsDiffer()
{
    // a number field holding what is no number differs, whatever it would read as
    fAccess.ClearRefused();
    bool changed = HasChanges() || fAccess.GetRefused();
    fAccess.ClearRefused();
    return changed;
}

void TTagEditForm::UpdateCommandButtons()
{
    UpdateReadOnly();
    if (!FindView(kApplyButton) && !FindView(kReloadButton)) return;
    bool changed = ControlsDiffer();
    EnableControl(kApplyButton, changed && !fReadOnly);
    EnableControl(kReloadButton, changed);
}

bool TTagEditForm::CanClose()
{
    // what cannot be applied is not asked about
    if (fReadOnly || !ControlsDiffer()) return true;
    XGModalDialog modal(std::make_unique<XGForm>(), kCommitResource);
    if (XGView* text = modal.GetDialog()->FindView(kCommitText)) {
        std::string message = text->GetText();
        Replace(message, "^0", GetWindow() ? GetWindow()->GetTitle() : TitleFor(GetTag()));
        text->SetText(message);
    }
    switch (modal.Run()) {
    case kCommitApply: return XGGuard([this] { ApplyFromControls(); });
    case kCommitDiscard: return true;
    default: return false;
    }
}

void TTagEditForm::PickTagRef(int32_t control)
{
    if (fReadOnly) return;
    tag_code type = fAccess.GetTagRefType(control);
    tag_code id = TTagPickList::Run(type, fAccess.GetTagRef(control), GetTag()->file);
    if (id == 0) return;
    fAccess.ChooseTagRef(control, id);
}

void TTagEditForm::OpenTagRef(int32_t control)
{
    tag_entry* e = Store().find_tag(fAccess.GetTagRefType(control), fAccess.GetTagRef(control));
    TTolvaneApp* app = TTolvaneApp::Get();
    if (e && app) app->OpenTagEditor(e, false);
}

void TTagEditForm::ShowFileWindow()
{
    TTolvaneApp* app = TTolvaneApp::Get();
    if (!app) return;
    TTagFileForm* window = app->ShowTagFileWindow(GetTag()->file, true);
    window->SelectTag(GetTag(), true, true);
}

void TTagEditForm::TagInfo()
{
    tag_entry* e = GetTag();
    TTagFileForm* window = TTagFileForm::FromFile(e->file);
    if (!window || !TTagInfoDialog::Run(e, e->file)) return;
    window->Refresh(true);
    window->UpdateTitle();
    window->SelectTag(e, true, true);
    UpdateTitle();
}

int32_t TTagEditForm::DoStatus(XGCode, XGParam id, XGParam status)
{
    auto& s = *reinterpret_cast<XGCommandStatus*>(status);
    switch (id) {
    case kCommandTagInfo: s.enabled = true; return 0;
    case kCommandOverrideInPlugin:
        UpdateReadOnly();
        s.enabled = fReadOnly;
        return 0;
    case kCommandReloadTag:
    case kCommandApplyTagChanges: {
        UpdateReadOnly();
        bool changed = ControlsDiffer();
        s.enabled = changed && (id == kCommandReloadTag || !fReadOnly);
        EnableControl(kApplyButton, changed && !fReadOnly);
        EnableControl(kReloadButton, changed);
        return 0;
    }
    default: return kXGNotHandled;
    }
}

int32_t TTagEditForm::DoMenu(XGCode, XGParam id, XGParam)
{
    switch (id) {
    case kCommandTagInfo: TagInfo(); return 0;
    case kCommandOverrideInPlugin:
        if (fReadOnly) OverrideInPlugin({GetTag()});
        return 0;
    case kCommandReloadTag: LoadTag(); break;
    case kCommandApplyTagChanges: ApplyFromControls(); break;
    default: return kXGNotHandled;
    }
    UpdateCommandButtons();
    return 0;
}

int32_t TTagEditForm::DoClick(XGCode code, XGParam param, XGParam view)
{
    auto id = int32_t(param);
    auto* v = reinterpret_cast<XGView*>(view);
    // a click in a dialog of the form is the dialog's own
    if (v && v->GetWindow() != GetWindow()) return kXGNotHandled;
    switch (id) {
    case kFileButton: ShowFileWindow(); return 0;
    case kReloadButton:
    case kApplyButton:
    case kOverrideButton: return DoMenu(kXGMenuMessage, param, 0);
    default: break;
    }
    if (fAccess.IsTagRef(id)) {
        PickTagRef(id);
        HandleControl(code, id);
    } else if (fAccess.IsTagRef(id - 1)) {
        OpenTagRef(id - 1);
        return 0;
    } else if (v && v->GetClassCode() == "chkb"_4cc) {
        v->SetValue(!v->GetValue());
        HandleControl(code, id);
    } else if (v && v->GetClassCode() == "radb"_4cc) {
        if (auto* radio = dynamic_cast<XGRadioButton*>(v)) radio->TurnOn();
        HandleControl(code, id);
    } else if (!HandleControl(code, id)) {
        return kXGNotHandled;
    }
    UpdateCommandButtons();
    return 0;
}

int32_t TTagEditForm::DoValue(XGCode code, XGParam id, XGParam view)
{
    auto* v = reinterpret_cast<XGView*>(view);
    if (v && v->GetWindow() != GetWindow()) return kXGNotHandled;
    HandleControl(code, int32_t(id));
    UpdateCommandButtons();
    return 0;
}
