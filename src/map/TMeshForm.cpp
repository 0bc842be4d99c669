#include "map/TMeshForm.h"

#include <QImage>

#include "framework/XGError.h"
#include "framework/qt/XGFileDialog.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGWindow.h"
#include "map/TMarkerDialogs.h"
#include "map/TMeshView.h"
#include "map/TmeshEditForm.h"
#include "render/png_writer.h"
#include "shell/TBitmapView.h"
#include "shell/TTolvaneApp.h"
#include "tags/tag_type_hooks.h"
#include "tags/tag_types.h"
#include "texture/texture_import.h"
#include "texture/txst_format.h"

namespace {

constexpr map_grid kGridOfSlot[3] = {MAP_GRID_RENDER, MAP_GRID_PHYSICAL, MAP_GRID_MEDIA}; // Render, Physical, Media controls

} // namespace

XG_BEGIN_DISPATCH(TMeshForm, TTagEditForm)
    XG_ON(kXGStatusMessage, &TMeshForm::DoStatus)
    XG_ON(kXGMenuMessage, &TMeshForm::DoMenu)
XG_END_DISPATCH()

TMeshForm::TMeshForm(tag_entry* e) : TTagEditForm(e) {}

TMeshForm::~TMeshForm() = default;

TMeshView* TMeshForm::View() const
{
    return dynamic_cast<TMeshView*>(FindView(kView));
}

void TMeshForm::WindowBuilt()
{
    TTagEditForm::WindowBuilt();
    for (int t = 0; t < 16; ++t)
        if (auto* swatch = dynamic_cast<TBitmapView*>(FindView(kFirstSwatch + t))) {
            map_rgb c = terrain_type_color(t);
            swatch->SetColor(c.r, c.g, c.b);
        }
    if (TMeshView* view = View()) {
        TMeshView::hooks h;
        h.changed = [this] { Changed(); };
        h.edit = [this](int marker) { EditMarker(marker); };
        h.clear = [this] { Command(kCommandClear); };
        h.status = [this](const std::string& text) { SetControlText(kStatus, text); };
        view->SetEditor(&fEditor, &Store(), h);
        if (!view->Problem().empty()) SetControlText(kStatus, view->Problem());
    }
    ReadBrush();
    LoadTag();
}

void TMeshForm::LoadTag()
{
    TMeshMap map;
    try {
        load_map(GetTag(), map);
        ShowNote("");
    } catch (const XGError& e) {
        // what cannot be read is not shown; the tag stays as it is until an apply
        map = TMeshMap();
        ShowNote(e.GetMessage());
    }
    fEditor.map = std::move(map);
    fEditor.loaded();
    if (TMeshView* view = View()) view->MapLoaded();
    RefreshPalette();
    RefreshGroups();
    UpdateCommandButtons();
}

void TMeshForm::ApplyChanges()
{
    if (fEditor.map.fWidth <= 0) return; // nothing was read
    store_map(GetTag(), fEditor.map);
    fEditor.stored();
}

bool TMeshForm::HasChanges()
{
    return fEditor.modified();
}

void TMeshForm::TagChanged(tag_code type, tag_code id)
{
    TMeshView* view = View();
    if (type == "skmd"_4cc && view) view->DropModel(id);
    if (type == "txst"_4cc && view) view->DropTextures(id);
    RefreshPalette();
}

void TMeshForm::Changed()
{
    if (TMeshView* view = View()) view->Sync();
    if (fEditor.take_markers_changed()) RefreshPalette();
    if (GetInteger(kMediaHeight) != fEditor.media_height) SetInteger(kMediaHeight, fEditor.media_height);
    UpdateCommandButtons();
}

void TMeshForm::RefreshPalette()
{
    fRefreshing = true;
    int type_index = 0;
    for (int i = 0; i < 6; ++i)
        if (PALETTE_TYPES[i] == fEditor.current_type) type_index = i;
    SetControlValue(kPaletteType, type_index);
    if (auto* list = dynamic_cast<XGListControl*>(FindView(kPaletteList))) {
        std::vector<std::string> rows;
        int selected = -1;
        std::vector<int> entries = fEditor.current_entries();
        for (size_t i = 0; i < entries.size(); ++i) {
            rows.push_back(palette_row_text(&Store(), fEditor.map.fPalette[size_t(entries[i])]));
            if (entries[i] == fEditor.current()) selected = int(i);
        }
        list->SetItems(rows);
        list->SetValue(selected);
    }
    bool has = fEditor.current() >= 0;
    EnableControl(kEdit, has);
    EnableControl(kDelete, has);
    EnableControl(kSelect, has);
    fRefreshing = false;
}

void TMeshForm::RefreshGroups()
{
    fRefreshing = true;
    const map_display_state& d = fEditor.display;
    for (int i = 0; i < 3; ++i) {
        map_grid g = kGridOfSlot[i];
        SetControlValue(kClickRender + i, d.click_grid == g);
        SetControlValue(kMaskRender + i, d.modifies(g));
        EnableControl(kMaskRender + i, d.click_grid != g && d.click_grid != MAP_GRID_NONE);
        SetControlValue(kShowRender + i, d.shown(g));
        EnableControl(kShowRender + i, d.click_grid != g);
    }
    SetControlValue(kClickRender + 3, d.click_grid == MAP_GRID_NONE);
    SetControlValue(kMaskRender + 3, d.markers_follow_heights);
    SetControlValue(kShowRender + 3, d.terrain_types);
    for (int t = 0; t < 6; ++t) SetControlValue(kFirstTool + t, fEditor.tool == kFirstTool + t);
    for (int t = 0; t < 16; ++t) SetControlValue(kFirstTerrain + t, fEditor.terrain_type == t);
    fRefreshing = false;
}

void TMeshForm::ReadBrush()
{
    fEditor.brush.soft = GetControlValue(kSoft) / 100.0;
    fEditor.brush.round = GetControlValue(kRound) / 100.0;
    fEditor.brush.radius = std::max(1, GetControlValue(kWidth));
    DrawBrush();
}

void TMeshForm::DrawBrush()
{
    auto* picture = dynamic_cast<TBitmapView*>(FindView(kBrushPicture));
    if (!picture) return;
    const int size = 72;
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double d = std::hypot(x + 0.5 - size / 2.0, y + 0.5 - size / 2.0) / (size / 2.0) * fEditor.brush.radius;
            int v = int(40 + 215 * fEditor.brush.weight(d));
            image.setPixel(x, y, qRgb(v, v, 40 + v / 2));
        }
    picture->SetImage(image);
}

bool TMeshForm::HandleControl(XGCode message, int32_t control)
{
    if (fRefreshing) return true;
    switch (control) {
    case kPaletteType: {
        int i = GetControlValue(kPaletteType);
        if (i >= 0 && i < 6) fEditor.choose_type(PALETTE_TYPES[i]);
        RefreshPalette();
        return true;
    }
    case kPaletteList:
        fEditor.choose_row(GetControlValue(kPaletteList));
        RefreshPalette();
        if (message == kXGListValueMessage && fEditor.current() >= 0) HandleControl(kXGClickMessage, kEdit);
        return true;
    case kNew: {
        marker_palette_entry entry = new_palette_entry(fEditor.current_type);
        if (TMarkerPaletteDialog::Run(Store(), GetTag()->file, entry)) {
            fEditor.add_entry(entry);
            Changed();
            RefreshPalette();
        }
        return true;
    }
    case kEdit: {
        int current = fEditor.current();
        if (current < 0) return true;
        marker_palette_entry entry = fEditor.map.fPalette[size_t(current)];
        if (TMarkerPaletteDialog::Run(Store(), GetTag()->file, entry)) {
            fEditor.replace_entry(current, entry);
            Changed();
            RefreshPalette();
        }
        return true;
    }
    case kDelete:
        fEditor.delete_current();
        Changed();
        RefreshPalette();
        return true;
    case kSelect:
        fEditor.select_current_markers();
        Changed();
        return true;
    case kMediaHeight: {
        double v = GetNumber(kMediaHeight);
        fEditor.media_height = int16_t(std::clamp(v, -32768.0, 32767.0));
        return true;
    }
    case kSavePicture: {
        XGFileRequest request;
        request.save = true;
        request.filter = "PNG Picture|*.png";
        request.defaultExtension = "png";
        request.proposedName = std::string(tag_get_name(GetTag())) + ".png";
        std::string path = XGChooseFile(request);
        if (!path.empty()) SavePicture(path);
        return true;
    }
    case kSoft:
    case kRound:
    case kWidth: ReadBrush(); return true;
    default: break;
    }
    if (control >= kFirstTool && control < kFirstTool + 6) {
        fEditor.tool = map_tool(control);
        return true;
    }
    if (control >= kFirstTerrain && control < kFirstTerrain + 16) {
        fEditor.terrain_type = control - kFirstTerrain;
        RefreshGroups();
        return true;
    }
    static const int32_t kClickCommands[4] = {2020, 2021, 2022, 2029};
    static const int32_t kMaskCommands[4] = {2023, 2024, 2025, 2030};
    static const int32_t kShowCommands[4] = {2007, 2008, 2009, 2028};
    for (int i = 0; i < 4; ++i) {
        if (control == kClickRender + i) return Command(kClickCommands[i]);
        if (control == kMaskRender + i) return Command(kMaskCommands[i]);
        if (control == kShowRender + i) return Command(kShowCommands[i]);
    }
    return false;
}

XGCommandStatus TMeshForm::Status(int32_t id)
{
    XGCommandStatus s;
    const map_display_state& d = fEditor.display;
    s.enabled = true;
    switch (id) {
    case kCommandClear: s.enabled = !fEditor.selection.empty(); break;
    case kCommandUndo: s.enabled = fEditor.history.can_undo(); break;
    case kCommandRedo: s.enabled = fEditor.history.can_redo(); break;
    case 2001: s.checked = d.axis == MAP_LOCAL_AXIS; break;
    case 2002: s.checked = d.axis == MAP_WORLD_AXIS; break;
    case 2003:
    case 2004:
    case 2015: break;
    case 2006: s.checked = d.colormap; break;
    case 2007:
    case 2008:
    case 2009: {
        map_grid g = id == 2007 ? MAP_GRID_RENDER : id == 2008 ? MAP_GRID_PHYSICAL : MAP_GRID_MEDIA;
        s.enabled = d.click_grid != g;
        s.checked = d.shown(g);
        break;
    }
    case 2010:
    case 2011:
    case 2012:
    case 2013:
    case 2014: s.checked = d.markers == id; break;
    case 2016:
    case 2017: {
        tag_code stack = fEditor.map.fHeader.landscape_tag;
        bool open = stack != NONE_TAG && stack != 0 && Store().find_tag("txst"_4cc, stack);
        s.enabled = id == 2016 ? !open : open;
        break;
    }
    case 2018: s.enabled = false; break;
    case 2020: s.checked = d.click_grid == MAP_GRID_RENDER; break;
    case 2021: s.checked = d.click_grid == MAP_GRID_PHYSICAL; break;
    case 2022: s.checked = d.click_grid == MAP_GRID_MEDIA; break;
    case 2029: s.checked = d.click_grid == MAP_GRID_NONE; break;
    case 2023:
    case 2024:
    case 2025: {
        map_grid g = id == 2023 ? MAP_GRID_RENDER : id == 2024 ? MAP_GRID_PHYSICAL : MAP_GRID_MEDIA;
        s.enabled = d.click_grid != g;
        s.checked = d.modifies(g);
        break;
    }
    case 2028: s.checked = d.terrain_types; break;
    case 2030: s.checked = d.markers_follow_heights; break;
    default: s.enabled = false; break;
    }
    return s;
}

bool TMeshForm::Command(int32_t id)
{
    map_display_state& d = fEditor.display;
    switch (id) {
    case kCommandClear:
        if (fEditor.selection.empty()) return true;
        fEditor.clear_selected();
        break;
    case kCommandUndo: fEditor.undo(); break;
    case kCommandRedo: fEditor.redo(); break;
    case 2001: d.axis = MAP_LOCAL_AXIS; break;
    case 2002: d.axis = MAP_WORLD_AXIS; break;
    case 2003: fEditor.clear_pitch_and_roll(); break;
    case 2004: fEditor.set_render_from_physical(); break;
    case 2006: d.colormap = !d.colormap; break;
    case 2007:
    case 2008:
    case 2009: {
        map_grid g = id == 2007 ? MAP_GRID_RENDER : id == 2008 ? MAP_GRID_PHYSICAL : MAP_GRID_MEDIA;
        if (d.click_grid != g) d.grid_shown[grid_slot(g)] = !d.grid_shown[grid_slot(g)];
        break;
    }
    case 2010:
    case 2011:
    case 2012:
    case 2013:
    case 2014: d.markers = map_marker_mode(id); break;
    case 2015:
        if (TTolvaneApp* app = TTolvaneApp::Get()) app->OpenTagEditor(GetTag(), true);
        return true;
    case 2016: ImportColormap(false); break;
    case 2017: ImportColormap(true); break;
    case 2020:
    case 2021:
    case 2022:
    case 2029: {
        map_grid g = id == 2020 ? MAP_GRID_RENDER : id == 2021 ? MAP_GRID_PHYSICAL : id == 2022 ? MAP_GRID_MEDIA : MAP_GRID_NONE;
        d.click_grid = g;
        for (bool& m : d.grid_modify) m = false;
        if (g != MAP_GRID_NONE) {
            d.grid_modify[grid_slot(g)] = true;
            d.grid_shown[grid_slot(g)] = true; // the grid being clicked is always shown
        }
        break;
    }
    case 2023:
    case 2024:
    case 2025: {
        map_grid g = id == 2023 ? MAP_GRID_RENDER : id == 2024 ? MAP_GRID_PHYSICAL : MAP_GRID_MEDIA;
        if (d.click_grid != g) d.grid_modify[grid_slot(g)] = !d.grid_modify[grid_slot(g)];
        break;
    }
    case 2028: d.terrain_types = !d.terrain_types; break;
    case 2030: d.markers_follow_heights = !d.markers_follow_heights; break;
    default: return false;
    }
    RefreshGroups();
    Changed();
    return true;
}

int32_t TMeshForm::DoStatus(XGCode code, XGParam id, XGParam status)
{
    XGCommandStatus s = Status(int32_t(id));
    if (int32_t(id) != kCommandClear && int32_t(id) != kCommandUndo && int32_t(id) != kCommandRedo &&
        (id < 2001 || id > 2030))
        return kXGNotHandled;
    *reinterpret_cast<XGCommandStatus*>(status) = s;
    return 0;
}

int32_t TMeshForm::DoMenu(XGCode code, XGParam id, XGParam)
{
    if (int32_t(id) != kCommandClear && int32_t(id) != kCommandUndo && int32_t(id) != kCommandRedo &&
        (id < 2001 || id > 2030))
        return kXGNotHandled;
    return Command(int32_t(id)) ? 0 : kXGNotHandled;
}

void TMeshForm::EditMarker(int marker)
{
    if (marker < 0 || size_t(marker) >= fEditor.map.fMarkers.size()) return;
    marker_data m = fEditor.map.fMarkers[size_t(marker)];
    vec3 p = marker_position(m);
    double ground = grid_height_at(fEditor.map, MAP_GRID_RENDER, p.x, p.y);
    if (!TMarkerDialog::Run(m, ground)) return;
    fEditor.edit_marker(marker, m);
    Changed();
}

void TMeshForm::SavePicture(const std::string& path)
{
    TMeshView* view = View();
    if (!view) return;
    int w, h;
    view->ViewSize(w, h);
    write_png_file(path, view->Picture(w, h));
}

void TMeshForm::ImportColormap(bool replace)
{
    std::string path = XGChooseFileToOpen("Photoshop File|*.PSD", "PSD");
    if (path.empty()) return;
    std::unique_ptr<texture_set> set = import_terrain_file(path);
    std::string why;
    if (replace) {
        tag_entry* e = Store().find_tag("txst"_4cc, fEditor.map.fHeader.landscape_tag);
        if (!e) return;
        if (!write_texture_set(e, *set, &why))
            throw XGError(kXGError, "Replace Colormap", "The texture stack cannot be stored: " + why + ".");
        Store().tag_changed("txst"_4cc, tag_get_id(e));
        return;
    }
    std::string name = std::string(tag_get_name(GetTag())) + " Colormap";
    tag_entry* e = Store().create_tag(GetTag()->file, "txst"_4cc, 0, int16_t(tag_type_version("txst"_4cc)),
                                      name.c_str(), 0, 0, nullptr);
    if (!e) throw XGPostError(kXGOutOfMemory);
    if (!write_texture_set(e, *set, &why)) {
        Store().delete_tag(e, true);
        throw XGError(kXGError, "Import New Colormap", "The texture stack cannot be stored: " + why + ".");
    }
    mesh_header header = fEditor.map.fHeader;
    header.landscape_tag = tag_get_id(e);
    fEditor.set_header(header);
    Store().tag_changed("txst"_4cc, tag_get_id(e));
}

void* open_mesh_editor(tag_entry* e)
{
    return TTagEditForm::Open<TMeshForm>(e, TMeshForm::kResource);
}

void install_map_editors()
{
    register_mesh_view();
    set_tag_type_editor_hooks("mesh"_4cc, open_mesh_editor, open_mesh_header_editor);
}
