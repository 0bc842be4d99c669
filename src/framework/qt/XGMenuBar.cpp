#include "framework/qt/XGMenuBar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "framework/XGError.h"
#include "framework/XGResources.h"
#include "framework/qt/XGAppCore.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGWindow.h"

XGMenuBarResource XGLoadMenuResource(int32_t n)
{
    const XGResourceData* data = XGGetResource(kXGMenuResourceType, n);
    XG_ASSERT(data != NULL, "XGMenuBar");
    XGMenuBarResource resource;
    std::string text(data->begin(), data->end());
    bool parsed = XGParseMenuText(text, resource, nullptr);
    XG_ASSERT(parsed, "XGMenuBar");
    return resource;
}

XGMenuBar::XGMenuBar(QMenuBar* bar, const XGMenuBarResource& resource, XGAppCore* app)
    : fResource(resource), fApp(app), fContext(std::make_unique<QObject>())
{
    for (const XGMenu& m : fResource.menus) {
        QMenu* menu = bar->addMenu(QString::fromLatin1(m.title.c_str()));
        fMenus.push_back(menu);
        bool listsWindows = false;
        for (const XGMenuItem& item : m.items) {
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            if (item.id == kXGCommandTile) listsWindows = true;
            QAction* action = menu->addAction(QString::fromLatin1(item.label.c_str()));
            action->setData(int(item.id));
            int16_t id = item.id;
            QObject::connect(action, &QAction::triggered, fContext.get(),
                             [this, id] { XGGuard([&] { fApp->DoCommand(id); }); });
        }
        QObject::connect(menu, &QMenu::aboutToShow, fContext.get(), [this, menu, listsWindows] {
            XGGuard([&] {
                if (listsWindows) ListWindows(menu);
                UpdateStatus(menu);
            });
        });
    }
}

XGMenuBar::~XGMenuBar() = default;

QAction* XGMenuBar::FindAction(int16_t id) const
{
    for (QMenu* menu : fMenus)
        for (QAction* action : menu->actions())
            if (!action->isSeparator() && action->data().toInt() == id && id != 0) return action;
    return nullptr;
}

void XGMenuBar::UpdateStatus(QMenu* menu)
{
    for (QAction* action : menu->actions()) {
        int id = action->data().toInt();
        if (action->isSeparator() || id <= 0) continue;
        XGCommandStatus status = fApp->GetCommandStatus(int16_t(id));
        action->setEnabled(status.enabled);
        action->setCheckable(status.checked);
        action->setChecked(status.checked);
    }
}

QMenu* XGMenuBar::AddListedSubmenu(int16_t afterId, const std::string& title, ItemLister lister)
{
    QAction* after = FindAction(afterId);
    QMenu* parent = nullptr;
    for (QMenu* menu : fMenus)
        if (after && menu->actions().contains(after)) parent = menu;
    if (!parent) return nullptr;
    auto* sub = new QMenu(QString::fromLatin1(title.c_str()), parent);
    int at = int(parent->actions().indexOf(after));
    QAction* before = at + 1 < parent->actions().size() ? parent->actions()[at + 1] : nullptr;
    parent->insertMenu(before, sub);
    fMenus.push_back(sub);
    auto fill = [this, sub, lister] {
        sub->clear();
        for (const auto& [label, id] : lister()) {
            QAction* action = sub->addAction(QString::fromLatin1(label.c_str()));
            action->setData(int(id));
            int16_t command = id;
            QObject::connect(action, &QAction::triggered, fContext.get(),
                             [this, command] { XGGuard([&] { fApp->DoCommand(command); }); });
        }
        UpdateStatus(sub);
        sub->menuAction()->setEnabled(!sub->isEmpty());
    };
    QObject::connect(sub, &QMenu::aboutToShow, fContext.get(), [fill] { XGGuard(fill); });
    QObject::connect(parent, &QMenu::aboutToShow, fContext.get(), [fill] { XGGuard(fill); });
    fill();
    return sub;
}

void XGMenuBar::ListWindows(QMenu* menu)
{
    for (QAction* a : fWindowActions) {
        menu->removeAction(a);
        delete a;
    }
    fWindowActions.clear();
    XGWindow* front = fApp->GetFrontWindow();
    std::vector<XGWindow*> windows;
    for (XGWindow* w : fApp->GetWindows())
        if (w->GetClassCode() == "wind"_4cc && w->IsShown()) windows.push_back(w);
    if (windows.empty()) return;
    fWindowActions.push_back(menu->addSeparator());
    for (XGWindow* w : windows) {
        QAction* action = menu->addAction(QString::fromLatin1(w->GetTitle().c_str()));
        action->setData(0);
        action->setCheckable(true);
        action->setChecked(w == front);
        QObject::connect(action, &QAction::triggered, fContext.get(), [this, w] {
            const auto& open = fApp->GetWindows();
            if (std::find(open.begin(), open.end(), w) != open.end()) w->BringToFront();
        });
        fWindowActions.push_back(action);
    }
}
