// The map form offscreen: palette panel and its dialog, the Mesh menu and its groups,
// the Edit Marker dialog, tool strokes from the view, and undo back to the loaded map.
#include <gtest/gtest.h>

#include "framework/qt/XGDialog.h"
#include "framework/qt/XGEditText.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGPopupMenu.h"
#include "map/TMarkerDialogs.h"
#include "map/TMeshForm.h"
#include "map/TMeshView.h"
#include "map/map_palette.h"
#include "shell/TTolvaneApp.h"
#include "shell/editor_form_support.h"

namespace {

class MapFormTest : public EditorFormTest {
protected:
    TMeshForm* OpenMap()
    {
        TMeshMap map = default_mesh_map(64, 32);
        map.fPalette = {new_palette_entry(1), new_palette_entry(3), new_palette_entry(1)};
        map.fPalette[0].tag = code("tgt_");
        for (int16_t entry : {0, 1, 2, 0}) {
            add_marker(map, entry, 10 + entry, 5, 0);
            map.fMarkers.back().yaw = 1234;
            map.fMarkers.back().pitch = 99;
        }
        fMap = MakeTag("mesh", map_tag_bytes(map), "map");
        fOriginal = Data(fMap);
        auto* form = dynamic_cast<TMeshForm*>(Open(fMap));
        EXPECT_NE(form, nullptr);
        return form;
    }
    static std::vector<std::string> Rows(TMeshForm* form)
    {
        auto* list = dynamic_cast<XGListControl*>(form->FindView(TMeshForm::kPaletteList));
        std::vector<std::string> rows;
        for (int i = 0; list && i < list->GetItemCount(); ++i) rows.push_back(list->GetItemText(i));
        return rows;
    }
    static void ChooseType(TMeshForm* form, int index)
    {
        dynamic_cast<XGPopupMenu*>(form->FindView(TMeshForm::kPaletteType))->Choose(index);
    }
    tag_entry* fMap = nullptr;
    bytes fOriginal;
};

TEST_F(MapFormTest, PaletteRowsDeleteAndUndoBackToTheLoadedBytes)
{
    TMeshForm* form = OpenMap();
    ASSERT_NE(form, nullptr);
    ChooseType(form, 1); // Scenery
    EXPECT_EQ(Rows(form), (std::vector<std::string>{"tgt_  -  target (team -1)", "____  -  <missing Scenery> (team -1)"}));
    dynamic_cast<XGListControl*>(form->FindView(TMeshForm::kPaletteList))->Choose(0);
    View(form, TMeshForm::kDelete)->Click();
    EXPECT_EQ(form->Editor().map.fMarkers.size(), 2u); // both markers of the first entry went
    EXPECT_EQ(form->Editor().map.fMarkers[1].palette_index, 1); // was 2
    EXPECT_EQ(Rows(form).size(), 1u);
    EXPECT_TRUE(form->HasChanges());

    EXPECT_TRUE(form->Status(TMeshForm::kCommandUndo).enabled);
    ASSERT_TRUE(form->Command(TMeshForm::kCommandUndo));
    EXPECT_FALSE(form->HasChanges());
    EXPECT_EQ(Rows(form).size(), 2u);
    form->ApplyChanges();
    EXPECT_EQ(Data(fMap), fOriginal);
    ASSERT_TRUE(form->Command(TMeshForm::kCommandRedo));
    EXPECT_TRUE(form->HasChanges());
    form->LoadTag(); // Reload drops the history
    EXPECT_FALSE(form->Status(TMeshForm::kCommandUndo).enabled);
    EXPECT_FALSE(form->Status(TMeshForm::kCommandRedo).enabled);
}

TEST_F(MapFormTest, NewEntryComesFromTheDialogWithItsBoxesRebuilt)
{
    TMeshForm* form = OpenMap();
    ASSERT_NE(form, nullptr);
    ChooseType(form, 2); // Monster
    ModalScript script;
    script.Then([](XGDialog& d) {
        dynamic_cast<XGEditText*>(d.FindView(TMarkerPaletteDialog::kTeam))->Type("x");
        d.ClickControl(TMarkerPaletteDialog::kOK); // refused: the alert says why, the dialog stays
        dynamic_cast<XGEditText*>(d.FindView(TMarkerPaletteDialog::kTeam))->Type("3");
        d.ClickControl(TMarkerPaletteDialog::kFirstNetgameType + 13); // Custom off
        d.ClickControl(TMarkerPaletteDialog::kFirstProperty);          // Uncontrollable on
        d.ClickControl(TMarkerPaletteDialog::kOK);
    });
    script.Click(1); // the alert
    View(form, TMeshForm::kNew)->Click();
    EXPECT_EQ(script.Pending(), 0);
    const std::vector<marker_palette_entry>& palette = form->Editor().map.fPalette;
    ASSERT_EQ(palette.size(), 4u);
    EXPECT_EQ(palette[3].type, 3);
    EXPECT_EQ(palette[3].team, 3);
    EXPECT_EQ(palette[3].netgame_types, 0x1FFFu);
    EXPECT_EQ(palette[3].property_flags, 7); // the Monster presets and Uncontrollable
    EXPECT_EQ(form->Editor().current(), 3);
    EXPECT_EQ(Rows(form).size(), 2u);
    ASSERT_TRUE(form->Command(TMeshForm::kCommandUndo));
    EXPECT_EQ(form->Editor().map.fPalette.size(), 3u);
}

TEST_F(MapFormTest, MeshCommandsKeepTheGroupsAndChecksInStep)
{
    TMeshForm* form = OpenMap();
    ASSERT_NE(form, nullptr);
    map_display_state& d = form->Editor().display;
    form->Command(2021); // Click Physics Grid
    EXPECT_EQ(d.click_grid, MAP_GRID_PHYSICAL);
    EXPECT_EQ(form->GetControlValue(TMeshForm::kClickRender + 1), 1);
    EXPECT_EQ(form->GetControlValue(TMeshForm::kClickRender), 0);
    EXPECT_FALSE(form->Status(2008).enabled); // its Show command
    EXPECT_FALSE(form->Status(2024).enabled); // and its Modify command
    form->Command(2024);
    EXPECT_TRUE(d.modifies(MAP_GRID_PHYSICAL));
    View(form, TMeshForm::kMaskRender)->Click(); // Modify Render Grid through its box
    EXPECT_TRUE(d.modifies(MAP_GRID_RENDER));
    EXPECT_TRUE(form->Status(2023).checked);
    View(form, TMeshForm::kClickRender + 3)->Click(); // Click None
    EXPECT_EQ(d.click_grid, MAP_GRID_NONE);
    EXPECT_FALSE(d.modifies(MAP_GRID_RENDER));
    form->Command(2012);
    EXPECT_TRUE(form->Status(2012).checked);
    EXPECT_FALSE(form->Status(2011).checked);
    EXPECT_FALSE(form->Status(2018).enabled);
    EXPECT_TRUE(form->Status(2016).enabled); // no Landscape stack yet
    EXPECT_FALSE(form->Status(2017).enabled);
    EXPECT_FALSE(form->Status(TMeshForm::kCommandClear).enabled);

    form->Command(2003); // Clear Pitch and Roll keeps yaw
    for (const marker_data& m : form->Editor().map.fMarkers) {
        EXPECT_EQ(m.pitch, 0);
        EXPECT_EQ(m.yaw, 1234);
    }
    form->Editor().map.Cell(3, 3).physical_height = 700;
    form->Command(2004); // Set Render Height From Physical: stored render heights all -1
    form->ApplyChanges();
    TMeshMap stored;
    load_map(fMap, stored);
    bytes data = Data(fMap);
    for (size_t i = 0; i < stored.fCells.size(); ++i) EXPECT_EQ(data[1024 + i * 12 + 10] << 8 | data[1024 + i * 12 + 11], 0xFFFF);
    EXPECT_EQ(stored.Cell(3, 3).render_height, 700);
}

TEST_F(MapFormTest, EditMarkerDialogWritesOneUndoableStep)
{
    TMeshForm* form = OpenMap();
    ASSERT_NE(form, nullptr);
    form->Editor().map.fMarkers[2].flags = 0xFFFF;
    ModalScript script;
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.FindView(TMarkerDialog::kX)->GetText(), "12.000");
        dynamic_cast<XGEditText*>(d.FindView(TMarkerDialog::kX))->Type("20.5");
        dynamic_cast<XGEditText*>(d.FindView(TMarkerDialog::kYaw))->Type("90");
        d.ClickControl(TMarkerDialog::kWeak + 2);
        d.ClickControl(TMarkerDialog::kOK);
    });
    form->EditMarker(2);
    const marker_data& m = form->Editor().map.fMarkers[2];
    EXPECT_EQ(m.position[0], 20 * 512 + 256);
    EXPECT_EQ(m.yaw, 16384);
    EXPECT_EQ(m.minimum_difficulty, 4);
    EXPECT_EQ(m.flags, 0x1Fu); // bits 5 and above cleared
    EXPECT_EQ(form->Editor().history.size(), 1u);

    script.Click(TMarkerDialog::kCancel);
    form->EditMarker(1);
    EXPECT_EQ(form->Editor().history.size(), 1u);
}

TEST_F(MapFormTest, ToolStrokesFromTheViewAreSingleSteps)
{
    TMeshForm* form = OpenMap();
    ASSERT_NE(form, nullptr);
    TMeshView* view = form->View();
    ASSERT_NE(view, nullptr);
    View(form, TMeshForm::kFirstTool + 3)->Click(); // Terrain Type
    View(form, TMeshForm::kFirstTerrain + 9)->Click(); // Marsh
    int w, h;
    view->ViewSize(w, h);
    view->Press(w / 2, h / 2 + 40, 1, 0);
    view->Move(w / 2 + 20, h / 2 + 40, 1, 0);
    view->Release(w / 2 + 20, h / 2 + 40, 1, 0);
    int marsh = 0;
    for (const mesh_cell& c : form->Editor().map.fCells) marsh += (c.flags & 0xFF) == 0x99;
    EXPECT_GT(marsh, 10);
    EXPECT_EQ(form->Editor().history.size(), 1u);
    EXPECT_FALSE(view->StatusText().empty()); // the cell under the pointer
    form->Command(TMeshForm::kCommandUndo);
    form->ApplyChanges();
    EXPECT_EQ(Data(fMap), fOriginal);

    double pitch = view->Camera().pitch;
    EXPECT_TRUE(view->Key(0, "r", 0));
    EXPECT_DOUBLE_EQ(view->Camera().pitch, std::min(85.0, pitch + 5));
    EXPECT_FALSE(view->Key(0, "z", 0));
}

} // namespace

namespace {

TEST_F(MapFormTest, HeaderFormKeepsTheExtensionRuleAndTheBytes)
{
    TMeshMap map = default_mesh_map(32, 32);
    map.fHeader.extension_marker = 0;
    map.fHeader.details_tag = code("tgt_"); // not valid without the marker
    map.fHeader.storyline_music_tags[0] = NONE_TAG;
    tag_entry* e = MakeTag("mesh", map_tag_bytes(map), "map");
    bytes original = Data(e);
    fApp->OpenTagEditor(e, true); // the alternate editor
    auto* form = dynamic_cast<TTagEditForm*>(TTagEditorBase::FromTag(e));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->GetWindow()->GetTitle().find("map"), 0u);
    EXPECT_EQ(View(form, 11450)->GetText(), "(tag unassigned)");
    EXPECT_NE(View(form, 11301)->GetText(), ""); // the Landscape pair is there
    EXPECT_FALSE(form->HasChanges());
    form->ApplyChanges();
    EXPECT_EQ(Data(e), original);

    // picking a Collapsed Detail sets the marker; Details then holds what it shows (none)
    ModalScript script;
    answer_pick_list(script, "target (tgt_)");
    View(form, 11501)->Click();
    View(form, 11331)->Click(); // Single Player Map, bit 16
    Type(form, 11710, "quik");
    EXPECT_TRUE(form->HasChanges());
    form->ApplyChanges();
    TMeshMap back;
    load_map(e, back);
    EXPECT_EQ(back.fHeader.extension_marker, MESH_EXTENSION_MARKER);
    EXPECT_EQ(back.fHeader.collapsed_detail_tag, code("tgt_"));
    EXPECT_EQ(back.fHeader.details_tag, NONE_TAG);
    EXPECT_EQ(back.fHeader.flags, 0x10000u);
    EXPECT_EQ(back.fHeader.storyline_music_tags[0], code("quik"));
    EXPECT_EQ(back.fHeader.storyline_music_tags[1], NONE_TAG);
    bytes now = Data(e);
    EXPECT_TRUE(std::equal(now.begin() + 1024, now.end(), original.begin() + 1024)); // the data area untouched
}

} // namespace
