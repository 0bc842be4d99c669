#include "shell/TNewMeshDialog.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "framework/qt/XGDialog.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGModalDialog.h"
#include "map/mesh_map.h"

namespace {

bool ParseCells(const std::string& text, int32_t& out)
{
    const char* start = text.c_str();
    while (*start == ' ') ++start;
    if (!*start) return false;
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(start, &end, 10);
    while (*end == ' ') ++end;
    if (*end || errno || value < INT32_MIN || value > INT32_MAX) return false;
    out = int32_t(value);
    return true;
}

} // namespace

XG_BEGIN_DISPATCH(TNewMeshDialog, XGForm)
    XG_ON(kXGSetValueMessage, &TNewMeshDialog::DoChange)
    XG_ON(kXGClickMessage, &TNewMeshDialog::DoClick)
    XG_ON(kXGKeyClickMessage, &TNewMeshDialog::DoClick)
XG_END_DISPATCH()

bool TNewMeshDialog::Run(int32_t& width, int32_t& height)
{
    auto form = std::make_unique<TNewMeshDialog>();
    TNewMeshDialog* dialog = form.get();
    XGModalDialog modal(std::move(form), kResource);
    if (modal.Run() != kOK) return false;
    width = dialog->fWidth;
    height = dialog->fHeight;
    return true;
}

void TNewMeshDialog::WindowBuilt()
{
    SetControlValue(kWidthField, kDefaultCells);
    SetControlValue(kHeightField, kDefaultCells);
    Validate();
}

bool TNewMeshDialog::GetSizes(int32_t& width, int32_t& height) const
{
    return ParseCells(GetControlText(kWidthField), width) && ParseCells(GetControlText(kHeightField), height);
}

bool TNewMeshDialog::Validate()
{
    int32_t w = 0, h = 0;
    bool valid = GetSizes(w, h) && mesh_size_is_valid(w, h);
    SetControlText(kMessageText, mesh_size_message(valid ? w : 0, valid ? h : 0));
    EnableControl(kOK, valid);
    if (valid) {
        fWidth = w;
        fHeight = h;
    }
    return valid;
}

int32_t TNewMeshDialog::DoChange(XGCode, XGParam, XGParam)
{
    Validate();
    return 0;
}

int32_t TNewMeshDialog::DoClick(XGCode, XGParam id, XGParam)
{
    if (id != kOK) return kXGNotHandled;
    if (Validate()) static_cast<XGDialog*>(GetWindow())->EndModal(kOK);
    return 0;
}
