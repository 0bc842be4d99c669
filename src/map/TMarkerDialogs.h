// The map form's two dialogs: "Edit Marker Palette" (view resource 168) on a palette
// entry, and "Edit Marker" (162) on a marker. Each edits a copy, given back on OK.
#pragma once

#include "framework/qt/XGForm.h"
#include "map/map_palette.h"
#include "tags/tags.h"

class TMarkerPaletteDialog : public XGForm {
    XG_DECLARE_DISPATCH()

public:
    static constexpr int32_t kResource = 168;
    static constexpr int32_t kOK = 1;
    static constexpr int32_t kCancel = 2;
    static constexpr int32_t kTag = 100;
    static constexpr int32_t kOpenTag = 101;
    static constexpr int32_t kFirstProperty = 200; // 200-205
    static constexpr int32_t kFirstNetgameType = 300; // 300-313
    static constexpr int32_t kTeam = 400;

    TMarkerPaletteDialog(TTagStore& store, tag_file* file, const marker_palette_entry& entry);
    // Edits entry; false (entry unchanged) when cancelled.
    static bool Run(TTagStore& store, tag_file* file, marker_palette_entry& entry);
    void WindowBuilt() override;

private:
    bool Read();
    void ShowTag();
    int32_t DoClick(XGCode code, XGParam id, XGParam view);

    TTagStore& fStore;
    tag_file* fFile;
    marker_palette_entry fEntry;
};

class TMarkerDialog : public XGForm {
    XG_DECLARE_DISPATCH()

public:
    static constexpr int32_t kResource = 162;
    static constexpr int32_t kOK = 100;
    static constexpr int32_t kCancel = 101;
    static constexpr int32_t kX = 1, kY = 2, kZ = 3, kElevation = 4;
    static constexpr int32_t kLockZ = 5, kLockElevation = 6;
    static constexpr int32_t kYaw = 11, kPitch = 12, kRoll = 13;
    static constexpr int32_t kFirstFlag = 50; // 50-54
    static constexpr int32_t kWeak = 60;      // 60-62

    // ground: the height of the ground under the marker, for the locks.
    TMarkerDialog(const marker_data& marker, double ground);
    static bool Run(marker_data& marker, double ground);
    void WindowBuilt() override;

private:
    bool Read(bool complain);
    int32_t DoClick(XGCode code, XGParam id, XGParam view);
    int32_t DoChange(XGCode code, XGParam id, XGParam view);

    marker_data fMarker;
    marker_fields fFields;
    double fGround;
    bool fFilling = false;
};
