// The application core with an MDI frame: a main window whose MDI area holds the
// document windows, and the menu bar of menu resource 128 with its accelerators.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/qt/XGAppCore.h"

class QMainWindow;
class QMdiArea;
class QMdiSubWindow;
class XGMenuBar;

class XGAppMultiWindow : public XGAppCore {
    XG_DECLARE_DISPATCH()

public:
    XGAppMultiWindow();
    ~XGAppMultiWindow() override;

    // The frame, its menu bar and accelerators (menu resource 128).
    void Initialize() override;
    void BuildFrame(int32_t menuResource = 128);
    void ShowMainWindow() override;

    QMainWindow* GetFrame() const { return fFrame.get(); }
    QMdiArea* GetMdiArea() const { return fArea; }
    XGMenuBar* GetMenuBar() const { return fMenuBar.get(); }

    QWidget* PlaceDocumentWindow(XGWindow* w) override;
    void ActivateDocumentWindow(XGWindow* w) override;

    // The line of the frame's status bar ("" when there is no frame).
    void SetStatusText(const std::string& text);
    std::string GetStatusText() const;

    // Files dropped on the frame outside every window; the program decides.
    virtual void FilesDropped(const std::vector<std::string>& paths) {}

protected:
    int32_t DoStatus(XGCode code, XGParam id, XGParam status);
    int32_t DoMenu(XGCode code, XGParam id, XGParam);

private:
    XGWindow* WindowOf(const QMdiSubWindow* sub) const;

    std::unique_ptr<QMainWindow> fFrame;
    QMdiArea* fArea = nullptr;
    std::unique_ptr<XGMenuBar> fMenuBar;
    std::unique_ptr<QObject> fContext;
    std::unique_ptr<QObject> fDropTarget;
};
