#include "framework/qt/XGForm.h"

#include "framework/XGError.h"
#include "framework/qt/XGFactories.h"
#include "framework/qt/XGView.h"
#include "framework/qt/XGWindow.h"

XGForm::~XGForm()
{
    if (fWindow) {
        fWindow->fForm = nullptr;
        if (fWindow->fRoot) fWindow->fRoot->SetNextTarget(fWindow);
    }
}

XGWindow* XGForm::BuildWindow(int32_t resource)
{
    XGWindow* w = XGBuildWindow(resource);
    try {
        AttachWindow(w);
    } catch (...) {
        delete w;
        throw;
    }
    try {
        WindowBuilt();
    } catch (...) {
        // the caller keeps the form; the window goes
        w->fForm = nullptr;
        fWindow = nullptr;
        delete w;
        throw;
    }
    return w;
}

void XGForm::AttachWindow(XGWindow* w)
{
    XG_ASSERT(fWindow == NULL, "XGForm");
    XG_ASSERT(w != NULL, "XGForm");
    XG_ASSERT(w->fForm == NULL, "XGForm");
    fWindow = w;
    w->fForm = this;
    w->fRoot->SetNextTarget(this);
    SetNextTarget(w);
}

XGView* XGForm::FindView(int32_t id) const
{
    return fWindow ? fWindow->FindView(id) : nullptr;
}

std::string XGForm::GetControlText(int32_t id) const
{
    XGView* v = FindView(id);
    return v ? v->GetText() : std::string();
}

void XGForm::SetControlText(int32_t id, const std::string& text)
{
    if (XGView* v = FindView(id)) v->SetText(text);
}

int32_t XGForm::GetControlValue(int32_t id) const
{
    XGView* v = FindView(id);
    return v ? v->GetValue() : 0;
}

void XGForm::SetControlValue(int32_t id, int32_t value)
{
    if (XGView* v = FindView(id)) v->SetValue(value);
}

void XGForm::EnableControl(int32_t id, bool enable)
{
    if (XGView* v = FindView(id)) v->Enable(enable);
}
