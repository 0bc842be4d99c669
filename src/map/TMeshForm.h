// The map editor form (view resource 161): the whole map in memory, shown and edited in
// the map view, with the marker palette, the tools and their brush, the Click, Mask and
// Show groups, the terrain types, the Mesh menu, and undo and redo of every edit.
#pragma once

#include "framework/qt/XGMessages.h"
#include "map/map_editor.h"
#include "shell/TTagEditForm.h"

class TMeshView;

class TMeshForm : public TTagEditForm {
    XG_DECLARE_DISPATCH()

public:
    static constexpr int32_t kResource = 161;
    static constexpr int32_t kView = 1;
    static constexpr int32_t kStatus = 2;
    static constexpr int32_t kPaletteType = 3;
    static constexpr int32_t kNew = 4;
    static constexpr int32_t kEdit = 5;
    static constexpr int32_t kDelete = 6;
    static constexpr int32_t kPaletteList = 7;
    static constexpr int32_t kSelect = 8;
    static constexpr int32_t kMediaHeight = 20;
    static constexpr int32_t kSavePicture = 30;
    static constexpr int32_t kFirstTool = 100; // 100-105
    static constexpr int32_t kClickRender = 150; // 150-153
    static constexpr int32_t kMaskRender = 160;  // 160-163
    static constexpr int32_t kShowRender = 170;  // 170-173
    static constexpr int32_t kBrushPicture = 300;
    static constexpr int32_t kSoft = 301, kRound = 302, kWidth = 303;
    static constexpr int32_t kFirstTerrain = 500; // 500-515
    static constexpr int32_t kFirstSwatch = 600;  // 600-615
    static constexpr int32_t kCommandUndo = 4;
    static constexpr int32_t kCommandClear = 8;
    static constexpr int32_t kCommandRedo = 17;

    explicit TMeshForm(tag_entry* e);
    ~TMeshForm() override;

    void WindowBuilt() override;
    void LoadTag() override;
    void ApplyChanges() override;
    bool HasChanges() override;
    void TagChanged(tag_code type, tag_code id) override;
    bool HandleControl(XGCode message, int32_t control) override;

    map_editor& Editor() { return fEditor; }
    TMeshView* View() const;
    // Carries out a command as the menu does; false when the form does not take it.
    bool Command(int32_t id);
    // The command's state as the menu shows it.
    XGCommandStatus Status(int32_t id);
    // Opens the Edit Marker dialog on the marker.
    void EditMarker(int marker);
    // Writes the view's picture to path (the Save Picture button asks for it).
    void SavePicture(const std::string& path);

private:
    int32_t DoStatus(XGCode code, XGParam id, XGParam status);
    int32_t DoMenu(XGCode code, XGParam id, XGParam);
    void Changed();
    void RefreshPalette();
    void RefreshGroups();
    void DrawBrush();
    void ReadBrush();
    void ImportColormap(bool replace);

    map_editor fEditor;
    bool fRefreshing = false;
};

// The map form as the mesh type's editor, its header form as the alternate, and the
// map view's class.
void install_map_editors();
void* open_mesh_editor(tag_entry* e);
