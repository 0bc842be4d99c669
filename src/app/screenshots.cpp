// quenchold-screenshots DATA OUT: opens the editor on a data folder without a
// visible display and saves pictures of its windows and dialogs as PNG files in OUT.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/XGError.h"
#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGSlider.h"
#include "framework/qt/XGView.h"
#include "framework/qt/XGWindow.h"
#include "map/TMarkerDialogs.h"
#include "map/TMeshForm.h"
#include "map/TMeshView.h"
#include "model/TskmdViewer.h"
#include "shell/TAllTagForm.h"
#include "shell/TTagEditorBase.h"
#include "shell/TTagFileForm.h"
#include "shell/TTolvaneApp.h"
#include "shell/TTreeView.h"
#include "shell/forms/TtxstEditForm.h"

namespace {

std::string gOut;
int gSaved = 0;

void Pump()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void Save(QWidget* widget, const char* name)
{
    Pump();
    QString path = QString::fromStdString(gOut + "/" + name + ".png");
    if (widget->grab().save(path)) {
        std::printf("%s\n", path.toStdString().c_str());
        ++gSaved;
    } else {
        std::fprintf(stderr, "quenchold-screenshots: could not write %s\n", path.toStdString().c_str());
    }
}

// The next modal dialog is photographed and left with its cancel button.
void PhotographNextDialog(const char* name, std::function<void(XGDialog&)> prepare = {})
{
    std::string picture = name;
    XGSetModalHook([picture, prepare](XGDialog& dialog) {
        if (prepare) prepare(dialog);
        Save(dialog.GetFrameWidget(), picture.c_str());
        dialog.EndModal(dialog.GetCancelButton());
    });
}

// One picture of each tag editor form, opened on the first tag of its type.
void PhotographForms(TTolvaneApp& app)
{
    const char* types[] = {"amso", "arti", "conn", "form", "ligh", "phys", "lpgr", "medi", "meef",
                           "meli", "mons", "obje", "obpc", "part", "prgr", "proj", "scen", "soli",
                           "stli", "temp", "text", "unit", "wind", "loli", "glli", "game",
                           "soun", "txst", "spri", "grsp"};
    // no dialog is expected; one that comes anyway is dismissed
    XGSetModalHook([](XGDialog& dialog) { dialog.EndModal(dialog.GetCancelButton()); });
    for (const char* name : types) {
        tag_code type = text_to_tag_code(name);
        tag_entry* e = nullptr;
        for (tag_file* f = app.GetStore().first_file(); f && !e; f = f->next)
            if (tag_group* g = tag_file_group(f, type)) e = g->entries;
        if (!e) {
            std::fprintf(stderr, "quenchold-screenshots: the sample data has no %s tag\n", name);
            continue;
        }
        app.OpenTagEditor(e, false);
        auto* editor = TTagEditorBase::FromTag(e);
        if (!editor || !editor->GetWindow()) continue;
        XGWindow* w = editor->GetWindow();
        // a texture stack shows its first texture large
        if (auto* stacks = dynamic_cast<TtxstEditForm*>(editor); stacks && stacks->GetSet())
            for (const auto& stack : stacks->GetSet()->stacks)
                if (!stack.textures.empty()) {
                    stacks->SelectTextures({stack.textures.front().get()});
                    break;
                }
        w->GetFrameWidget()->move(20, 20);
        Save(w->GetFrameWidget(), (std::string("form-") + name).c_str());
        w->Close(false);
    }
    XGSetModalHook({});
}

// The model forms with their viewer's picture drawn offscreen in place (the offscreen
// platform has no OpenGL of its own): the model walking, a bone's cylinder shown.
void PhotographModelForms(TTolvaneApp& app)
{
    struct model_form {
        const char* type;
        int32_t viewer;
        int32_t bone_list; // 0: none
        int32_t slider;
        int frame;
    };
    const model_form forms[] = {{"skmd", 13700, 13730, 13745, 6}, {"skan", 13933, 0, 13935, 18}};
    XGSetModalHook([](XGDialog& dialog) { dialog.EndModal(dialog.GetCancelButton()); });
    for (const model_form& form : forms) {
        tag_entry* e = nullptr;
        for (tag_file* f = app.GetStore().first_file(); f && !e; f = f->next)
            if (tag_group* g = tag_file_group(f, text_to_tag_code(form.type))) e = g->entries;
        if (!e) continue;
        app.OpenTagEditor(e, false);
        auto* editor = TTagEditorBase::FromTag(e);
        if (!editor || !editor->GetWindow()) continue;
        XGWindow* w = editor->GetWindow();
        w->GetFrameWidget()->move(20, 20);
        if (auto* bones = dynamic_cast<XGListControl*>(editor->FindView(form.bone_list))) bones->Choose(2);
        auto* viewer = dynamic_cast<TskmdViewer*>(editor->FindView(form.viewer));
        if (!viewer) continue;
        // the bones are shown
        if (form.bone_list) editor->FindView(13703)->Click();
        if (auto* slider = dynamic_cast<XGSlider*>(editor->FindView(form.slider))) slider->Slide(form.frame);
        Pump();
        QWidget* frame = w->GetFrameWidget();
        QPixmap shot = frame->grab();
        QWidget* area = viewer->GetWidget();
        try {
            texture_image picture = viewer->Picture(area->width(), area->height());
            QImage image(picture.pixels.data(), int(picture.width), int(picture.height), int(picture.width * 4),
                         QImage::Format_RGBA8888);
            QPainter painter(&shot);
            painter.drawImage(area->mapTo(frame, QPoint(0, 0)), image);
        } catch (const XGError& error) {
            std::fprintf(stderr, "quenchold-screenshots: %s\n", error.GetMessage().c_str());
        }
        QString path = QString::fromStdString(gOut + "/form-" + form.type + ".png");
        if (shot.save(path)) {
            std::printf("%s\n", path.toStdString().c_str());
            ++gSaved;
        }
        w->Close(false);
    }
    XGSetModalHook({});
}

// The map form on the sample's living map, its 3D view drawn offscreen into the picture
// (the offscreen platform has no OpenGL of its own); then its header form and dialogs.
void PhotographMap(TTolvaneApp& app)
{
    tag_entry* e = app.GetStore().find_tag("mesh"_4cc, "m003"_4cc);
    if (!e) {
        std::fprintf(stderr, "quenchold-screenshots: the sample data has no map m003\n");
        return;
    }
    XGSetModalHook([](XGDialog& dialog) { dialog.EndModal(dialog.GetCancelButton()); });
    app.OpenTagEditor(e, false);
    auto* form = dynamic_cast<TMeshForm*>(TTagEditorBase::FromTag(e));
    if (form && form->View() && form->GetWindow()) {
        QWidget* frame = form->GetWindow()->GetFrameWidget();
        frame->move(10, 10);
        form->Command(2013);          // Simple Models
        form->Command(2008);          // Show Physics Grid
        form->Command(2009);          // Show Media Grid
        form->Editor().display.terrain_types = false;
        TMeshView* view = form->View();
        // close to the statues on the hill, the valley behind them
        map_camera& camera = view->Camera();
        camera.target = {72, 62, grid_height_at(form->Editor().map, MAP_GRID_RENDER, 72, 62)};
        camera.yaw = 200;
        camera.pitch = 32;
        camera.distance = 28;
        camera.apply_limits();
        form->Editor().select(3, false);
        form->SetControlText(TMeshForm::kStatus, "");
        Pump();
        QPixmap picture = frame->grab();
        QWidget* widget = view->GetWidget();
        QPoint at = widget->mapTo(frame, QPoint(0, 0));
        try {
            texture_image image = view->Picture(widget->width(), widget->height());
            QImage drawn(image.pixels.data(), int(image.width), int(image.height), int(image.width * 3),
                         QImage::Format_RGB888);
            QPainter painter(&picture);
            painter.drawImage(at, drawn);
        } catch (const XGError& error) {
            std::fprintf(stderr, "quenchold-screenshots: %s\n", error.GetMessage().c_str());
        }
        QString path = QString::fromStdString(gOut + "/form-mesh.png");
        if (picture.save(path)) {
            std::printf("%s\n", path.toStdString().c_str());
            ++gSaved;
        }

        marker_palette_entry entry = form->Editor().map.fPalette[3];
        PhotographNextDialog("dialog-marker-palette");
        TMarkerPaletteDialog::Run(app.GetStore(), e->file, entry);
        PhotographNextDialog("dialog-marker");
        form->EditMarker(3);
        form->GetWindow()->Close(false);
    }
    XGSetModalHook([](XGDialog& dialog) { dialog.EndModal(dialog.GetCancelButton()); });
    app.OpenTagEditor(e, true);
    if (auto* header = TTagEditorBase::FromTag(e); header && header->GetWindow()) {
        header->GetWindow()->GetFrameWidget()->move(10, 10);
        Save(header->GetWindow()->GetFrameWidget(), "form-mesh-header");
        header->GetWindow()->Close(false);
    }
    XGSetModalHook({});
}

void ExpandAll(TTreeView* tree)
{
    for (TTreeItem* item = tree->GetFirstItem(); item; item = item->next) tree->Expand(item, true);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: quenchold-screenshots DATA OUT\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    QApplication qt(qtArgc, argv);
    gOut = argv[2];
    QDir().mkpath(QString::fromStdString(gOut));
    try {
        TTolvaneApp app(argv[1]);
        app.Initialize();
        app.GetFrame()->resize(1100, 720);
        app.GetFrame()->show();

        TAllTagForm* all = app.ShowAllTagWindow();
        ExpandAll(all->GetTree());
        all->GetWindow()->GetFrameWidget()->setGeometry(560, 10, 420, 560);

        TTagFileForm* fileWindow = nullptr;
        for (tag_file* f = app.GetStore().first_file(); f; f = f->next) {
            if (!f->path.empty() && f->path.find("/plugins/") != std::string::npos) {
                fileWindow = app.ShowTagFileWindow(f, true);
                break;
            }
        }
        if (!fileWindow && app.GetStore().first_file())
            fileWindow = app.ShowTagFileWindow(app.GetStore().first_file(), true);
        if (fileWindow) {
            ExpandAll(fileWindow->GetTree());
            fileWindow->GetWindow()->GetFrameWidget()->setGeometry(10, 10, 520, 560);
            TTreeItem* type = fileWindow->GetTree()->GetFirstItem();
            if (type && type->child) fileWindow->GetTree()->Select(type->child, false);
            Save(fileWindow->GetWindow()->GetFrameWidget(), "tag-file-window");
        }
        Save(all->GetWindow()->GetFrameWidget(), "all-tags-window");
        Save(app.GetFrame(), "editor");

        if (fileWindow) {
            fileWindow->GetWindow()->BringToFront();
            PhotographNextDialog("create-tag");
            app.DoCommand(kCommandCreateTag);
            PhotographNextDialog("tag-info");
            app.DoCommand(kCommandTagInfo);
        }
        // Find Tag by a part of a name, then the tags it matched to choose from
        int findStep = 0;
        XGSetModalHook([&findStep](XGDialog& dialog) {
            if (findStep++ == 0) {
                if (XGView* v = dialog.FindView(3)) v->SetText("sample");
                Save(dialog.GetFrameWidget(), "find-tag");
                dialog.EndModal(dialog.GetDefaultButton());
            } else {
                Save(dialog.GetFrameWidget(), "choose-tag");
                dialog.EndModal(dialog.GetCancelButton());
            }
        });
        app.DoCommand(kCommandFindTag);
        PhotographNextDialog("error-alert");
        XGShowAlert(kXGError, "File Open Error", "Unable to open file notes.txt (not a tag file)");
        XGSetModalHook({});
        // room for the tallest form, which would scroll in a smaller frame
        app.GetFrame()->resize(1300, 1000);
        PhotographForms(app);
        PhotographModelForms(app);
        PhotographMap(app);
    } catch (const XGError& e) {
        std::fprintf(stderr, "%s: %s\n", e.GetTitle().c_str(), e.GetMessage().c_str());
        return 1;
    }
    Pump();
    return gSaved > 0 ? 0 : 1;
}
