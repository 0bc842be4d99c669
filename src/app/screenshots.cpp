// quenchold-screenshots DATA OUT: opens the editor on a data folder without a
// visible display and saves pictures of its windows and dialogs as PNG files in OUT.
#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/XGError.h"
#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGView.h"
#include "framework/qt/XGWindow.h"
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
        PhotographNextDialog("find-tag", [](XGDialog& d) {
            if (XGView* v = d.FindView(1)) v->SetText("rawd");
            if (XGView* v = d.FindView(2)) v->SetText("note");
        });
        app.DoCommand(kCommandFindTag);
        PhotographNextDialog("error-alert");
        XGShowAlert(kXGError, "File Open Error", "Unable to open file notes.txt (not a tag file)");
        XGSetModalHook({});
        PhotographForms(app);
    } catch (const XGError& e) {
        std::fprintf(stderr, "%s: %s\n", e.GetTitle().c_str(), e.GetMessage().c_str());
        return 1;
    }
    Pump();
    return gSaved > 0 ? 0 : 1;
}
