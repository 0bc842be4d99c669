#include "shell/TCheckReferencesForm.h"

#include <memory>

#include "build/tag_check.h"
#include "framework/qt/XGAlert.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGWindow.h"
#include "shell/TTolvaneApp.h"

XG_BEGIN_DISPATCH(TCheckReferencesForm, XGForm)
    XG_ON(kXGClickMessage, &TCheckReferencesForm::DoClick)
    XG_ON(kXGListValueMessage, &TCheckReferencesForm::DoListValue)
XG_END_DISPATCH()

TCheckReferencesForm::~TCheckReferencesForm()
{
    if (TTolvaneApp* app = TTolvaneApp::Get()) app->CheckReferencesWindowGone(this);
}

TCheckReferencesForm* TCheckReferencesForm::Create()
{
    auto form = std::make_unique<TCheckReferencesForm>();
    form->BuildWindow(kResource);
    return form.release();
}

void TCheckReferencesForm::WindowBuilt()
{
    GetWindow()->SetTitle("Check References");
    Check();
}

void TCheckReferencesForm::Check()
{
    TTolvaneApp* app = TTolvaneApp::Get();
    if (!app) return;
    std::vector<tag_problem> problems = check_tags(app->GetStore());
    std::vector<std::string> texts;
    fRows.clear();
    for (const tag_problem& p : problems) {
        texts.push_back(tag_problem_text(p));
        fRows.push_back(tag_row_of(p.entry));
    }
    std::string count = tag_problem_count_text(problems);
    SetControlText(kCountText, problems.empty() ? "No problems: " + count : count);
    if (auto* list = dynamic_cast<XGListControl*>(FindView(kList))) list->SetItems(texts);
}

void TCheckReferencesForm::OpenRow(int32_t row)
{
    TTolvaneApp* app = TTolvaneApp::Get();
    if (!app || row < 0 || size_t(row) >= fRows.size()) return;
    tag_entry* e = tag_row_live_entry(app->GetStore(), fRows[size_t(row)]);
    if (!e) {
        XGShowAlert(kXGWarning, "Tag Not Open",
                    "The tag of this row is no longer open. Check Again lists what the open tags hold now.");
        return;
    }
    XGGuard([&] { app->OpenTagEditor(e, false); });
}

int32_t TCheckReferencesForm::DoClick(XGCode, XGParam id, XGParam)
{
    if (id != kCheckAgain) return kXGNotHandled;
    Check();
    return 0;
}

int32_t TCheckReferencesForm::DoListValue(XGCode, XGParam id, XGParam)
{
    if (id != kList) return kXGNotHandled;
    OpenRow(GetControlValue(kList));
    return 0;
}
