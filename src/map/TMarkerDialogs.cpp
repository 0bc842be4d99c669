#include "map/TMarkerDialogs.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGModalDialog.h"
#include "framework/qt/XGView.h"
#include "shell/TTagPickList.h"
#include "shell/TTolvaneApp.h"

namespace {

bool ParseNumber(const std::string& text, double& out)
{
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    out = std::strtod(start, &end);
    while (end && *end == ' ') ++end;
    return end != start && !*end && !errno;
}

std::string Number(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

} // namespace

XG_BEGIN_DISPATCH(TMarkerPaletteDialog, XGForm)
    XG_ON(kXGClickMessage, &TMarkerPaletteDialog::DoClick)
    XG_ON(kXGKeyClickMessage, &TMarkerPaletteDialog::DoClick)
XG_END_DISPATCH()

TMarkerPaletteDialog::TMarkerPaletteDialog(TTagStore& store, tag_file* file, const marker_palette_entry& entry)
    : fStore(store), fFile(file), fEntry(entry)
{
}

bool TMarkerPaletteDialog::Run(TTagStore& store, tag_file* file, marker_palette_entry& entry)
{
    auto form = std::make_unique<TMarkerPaletteDialog>(store, file, entry);
    TMarkerPaletteDialog* dialog = form.get();
    XGModalDialog modal(std::move(form), kResource);
    if (modal.Run() != kOK) return false;
    entry = dialog->fEntry;
    return true;
}

void TMarkerPaletteDialog::ShowTag()
{
    tag_code type = marker_type(fEntry.type).tag_type;
    SetControlText(kTag, type ? TTagPickList::ReferenceLabel(&fStore, type, fEntry.tag) : "(no tag for this type)");
    EnableControl(kTag, type != 0);
    EnableControl(kOpenTag, type != 0 && fStore.find_tag(type, fEntry.tag) != nullptr);
}

void TMarkerPaletteDialog::WindowBuilt()
{
    ShowTag();
    SetControlText(kTeam, std::to_string(fEntry.team));
    for (int b = 0; b < 14; ++b) SetControlValue(kFirstNetgameType + b, (fEntry.netgame_types >> b) & 1);
    for (int b = 0; b < 6; ++b) SetControlValue(kFirstProperty + b, (fEntry.property_flags >> b) & 1);
}

bool TMarkerPaletteDialog::Read()
{
    double team = 0;
    if (!ParseNumber(GetControlText(kTeam), team) || team != double(int(team)) || team < -32768 || team > 32767) {
        XGShowAlert(kXGError, "The team must be a whole number from -32768 to 32767.", "", "Edit Marker Palette");
        return false;
    }
    fEntry.team = int16_t(team);
    // rebuilt from the boxes alone
    fEntry.netgame_types = 0;
    for (int b = 0; b < 14; ++b)
        if (GetControlValue(kFirstNetgameType + b)) fEntry.netgame_types |= 1u << b;
    fEntry.property_flags = 0;
    for (int b = 0; b < 6; ++b)
        if (GetControlValue(kFirstProperty + b)) fEntry.property_flags |= uint16_t(1u << b);
    return true;
}

int32_t TMarkerPaletteDialog::DoClick(XGCode, XGParam id, XGParam)
{
    tag_code type = marker_type(fEntry.type).tag_type;
    switch (id) {
    case kTag: {
        if (!type) return 0;
        tag_code picked = TTagPickList::Run(type, fEntry.tag, fFile);
        if (picked != 0) fEntry.tag = picked == NONE_TAG ? NONE_TAG : picked;
        ShowTag();
        return 0;
    }
    case kOpenTag:
        if (tag_entry* e = type ? fStore.find_tag(type, fEntry.tag) : nullptr)
            if (TTolvaneApp* app = TTolvaneApp::Get()) app->OpenTagEditor(e, false);
        return 0;
    case kOK:
        if (Read()) static_cast<XGDialog*>(GetWindow())->EndModal(kOK);
        return 0;
    default: return kXGNotHandled;
    }
}

XG_BEGIN_DISPATCH(TMarkerDialog, XGForm)
    XG_ON(kXGClickMessage, &TMarkerDialog::DoClick)
    XG_ON(kXGKeyClickMessage, &TMarkerDialog::DoClick)
    XG_ON(kXGSetValueMessage, &TMarkerDialog::DoChange)
XG_END_DISPATCH()

TMarkerDialog::TMarkerDialog(const marker_data& marker, double ground)
    : fMarker(marker), fFields(marker_to_fields(marker)), fGround(ground)
{
}

bool TMarkerDialog::Run(marker_data& marker, double ground)
{
    auto form = std::make_unique<TMarkerDialog>(marker, ground);
    TMarkerDialog* dialog = form.get();
    XGModalDialog modal(std::move(form), kResource);
    if (modal.Run() != kOK) return false;
    marker = dialog->fMarker;
    return true;
}

void TMarkerDialog::WindowBuilt()
{
    fFilling = true;
    SetControlText(kX, Number(fFields.x, 3));
    SetControlText(kY, Number(fFields.y, 3));
    SetControlText(kZ, Number(fFields.z, 3));
    SetControlText(kElevation, Number(fFields.elevation, 3));
    SetControlText(kYaw, Number(fFields.yaw, 2));
    SetControlText(kPitch, Number(fFields.pitch, 2));
    SetControlText(kRoll, Number(fFields.roll, 2));
    for (int b = 0; b < 5; ++b) SetControlValue(kFirstFlag + b, fFields.flags[b]);
    for (int d = 0; d < 3; ++d) SetControlValue(kWeak + d, fFields.difficulty == d);
    fFilling = false;
}

bool TMarkerDialog::Read(bool complain)
{
    const std::pair<int32_t, double*> numbers[] = {{kX, &fFields.x},     {kY, &fFields.y},         {kZ, &fFields.z},
                                                   {kElevation, &fFields.elevation}, {kYaw, &fFields.yaw},
                                                   {kPitch, &fFields.pitch}, {kRoll, &fFields.roll}};
    for (auto& [control, value] : numbers) {
        double v = 0;
        if (!ParseNumber(GetControlText(control), v) || std::abs(v) > 4.0e6) {
            if (complain) {
                XGShowAlert(kXGError, "\"" + GetControlText(control) + "\" is not a number the marker can hold.", "",
                            "Edit Marker");
                if (XGView* view = FindView(control)) view->Focus();
            }
            return false;
        }
        *value = v;
    }
    for (int b = 0; b < 5; ++b) fFields.flags[b] = GetControlValue(kFirstFlag + b) != 0;
    for (int d = 0; d < 3; ++d)
        if (GetControlValue(kWeak + d)) fFields.difficulty = d;
    return true;
}

int32_t TMarkerDialog::DoChange(XGCode, XGParam id, XGParam)
{
    if (fFilling || (id != kZ && id != kElevation)) return kXGNotHandled;
    double v = 0;
    if (!ParseNumber(GetControlText(int32_t(id)), v)) return 0;
    marker_lock lock = GetControlValue(kLockElevation) ? LOCK_ELEVATION : LOCK_Z;
    fFilling = true;
    if (id == kZ) {
        fFields.z = v;
        marker_z_typed(fFields, lock, fGround);
        if (lock == LOCK_Z) SetControlText(kElevation, Number(fFields.elevation, 3));
    } else {
        fFields.elevation = v;
        marker_elevation_typed(fFields, lock, fGround);
        if (lock == LOCK_ELEVATION) SetControlText(kZ, Number(fFields.z, 3));
    }
    fFilling = false;
    return 0;
}

int32_t TMarkerDialog::DoClick(XGCode, XGParam id, XGParam)
{
    if (id != kOK) return kXGNotHandled;
    if (!Read(true)) return 0;
    fields_to_marker(fFields, fMarker);
    static_cast<XGDialog*>(GetWindow())->EndModal(kOK);
    return 0;
}
