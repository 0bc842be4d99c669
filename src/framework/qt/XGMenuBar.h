// The frame's menu bar, built from a menu resource: every item sends its command id
// through the application (stat is asked before a menu shows, menu when chosen).
// The menu that holds Tile also lists the open document windows.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/XGMenuResource.h"

class QAction;
class QMenu;
class QMenuBar;
class QObject;
class XGAppCore;

class XGMenuBar {
public:
    XGMenuBar(QMenuBar* bar, const XGMenuBarResource& resource, XGAppCore* app);
    ~XGMenuBar();

    const XGMenuBarResource& GetResource() const { return fResource; }
    QAction* FindAction(int16_t id) const;
    std::vector<QMenu*> GetMenus() const { return fMenus; }
    // Asks stat for every item of the menu (as before it shows).
    void UpdateStatus(QMenu* menu);
    // A submenu after the item with the id whose items (label, command id) the program
    // lists each time it opens; it is disabled while the list is empty.
    using ItemLister = std::function<std::vector<std::pair<std::string, int16_t>>()>;
    QMenu* AddListedSubmenu(int16_t afterId, const std::string& title, ItemLister lister);

private:
    void ListWindows(QMenu* menu);

    XGMenuBarResource fResource;
    XGAppCore* fApp;
    std::vector<QMenu*> fMenus;
    std::vector<QAction*> fWindowActions;
    std::unique_ptr<QObject> fContext;
};

// Menu resource number n ('MENU', text), parsed; a framework assertion when it is missing or wrong.
XGMenuBarResource XGLoadMenuResource(int32_t n);
