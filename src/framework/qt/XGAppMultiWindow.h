// The application core with an MDI frame: a main window whose MDI area holds the
// document windows, and the menu bar of menu resource 128 with its accelerators.
// The frame's size, place and maximised state are kept in the settings between runs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/qt/XGAppCore.h"

class QMainWindow;
class QMdiArea;
class QRect;
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
    // Shows the frame as it was left last time, or at its first size.
    void ShowMainWindow() override;
    // The frame's first place in a screen's available area: at most 1400 x 900, centred.
    static QRect FirstFrameGeometry(const QRect& available);

    QMainWindow* GetFrame() const { return fFrame.get(); }
    QMdiArea* GetMdiArea() const { return fArea; }
    XGMenuBar* GetMenuBar() const { return fMenuBar.get(); }

    // Document windows scroll when the area is smaller than they are; each opens
    // inside the visible area, cascading from the front window.
    QWidget* PlaceDocumentWindow(XGWindow* w) override;
    void PositionDocumentWindow(XGWindow* w) override;
    void ActivateDocumentWindow(XGWindow* w) override;

    // The line of the frame's status bar ("" when there is no frame).
    void SetStatusText(const std::string& text);
    std::string GetStatusText() const;

    // Files dropped on the frame outside every window; the program decides.
    virtual void FilesDropped(const std::vector<std::string>& paths) {}

protected:
    int32_t DoStatus(XGCode code, XGParam id, XGParam status);
    int32_t DoMenu(XGCode code, XGParam id, XGParam);
    int32_t DoQuit(XGCode code, XGParam, XGParam);

private:
    void SaveFrameState() const;
    XGWindow* WindowOf(const QMdiSubWindow* sub) const;

    std::unique_ptr<QMainWindow> fFrame;
    QMdiArea* fArea = nullptr;
    std::unique_ptr<XGMenuBar> fMenuBar;
    std::unique_ptr<QObject> fContext;
    std::unique_ptr<QObject> fDropTarget;
};
