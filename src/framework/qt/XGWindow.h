// A window: the views built from a view resource, the form attached to it, a title
// and sizes. Document windows ('wind') live in the frame's MDI area; dialogs
// ('dlog') are XGDialog. The framework owns its windows; a window owns its form
// and views.
#pragma once

#include <memory>
#include <string>

#include "framework/XGDispatch.h"
#include "framework/XGViewRecord.h"

class QObject;
class QWidget;
class XGForm;
class XGView;

class XGWindow : public XGDispatch {
    XG_DECLARE_DISPATCH()

public:
    // Builds the window's widgets from its record (the views are built by the window
    // factory after it).
    explicit XGWindow(const XGViewRecord& record);
    ~XGWindow() override;

    XGCode GetClassCode() const { return fClassCode; }
    XGForm* GetForm() const { return fForm; }
    XGView* GetRootView() const { return fRoot; }
    XGView* FindView(int32_t id) const;
    // The view with the keyboard focus, or the root view.
    XGView* GetFocusView() const;

    void SetTitle(const std::string& title);
    std::string GetTitle() const;

    // The widget that holds the views, and the one the platform shows around it.
    QWidget* GetWidget() const { return fContent; }
    QWidget* GetFrameWidget() const { return fFrameWidget ? fFrameWidget : fContent; }

    // Shows the window; with front set it becomes the front window.
    virtual void Show(bool front = true);
    virtual void BringToFront();
    bool IsShown() const;

    // Content sizes (the record's size; "min=WxH", "max=WxH").
    void Resize(int width, int height);
    void GetSize(int& width, int& height) const;
    void SetMinimumSize(int width, int height);
    void SetMaximumSize(int width, int height);

    // The button ids the record names as "default" and "cancel" (0 for none).
    int32_t GetDefaultButton() const { return fDefaultButton; }
    int32_t GetCancelButton() const { return fCancelButton; }
    void SetDefaultButton(int32_t id);

    // With ask set, the form's close check runs first; false when it refused. The
    // window is gone when this returns true.
    bool Close(bool ask = true);

protected:
    int32_t DoStatus(XGCode code, XGParam id, XGParam status);
    int32_t DoMenu(XGCode code, XGParam id, XGParam);
    // The platform asked to close the window (its close box).
    virtual void CloseRequested();
    // The widget around the content (an MDI subwindow); watched for its close box.
    void SetFrameWidget(QWidget* frame);

    QWidget* fContent = nullptr;
    QWidget* fFrameWidget = nullptr;

private:
    friend class XGForm;
    XGCode fClassCode;
    XGForm* fForm = nullptr;
    XGView* fRoot = nullptr;
    int32_t fDefaultButton = 0;
    int32_t fCancelButton = 0;
    std::unique_ptr<QObject> fWatcher;
    bool fClosing = false;
};

// A document window: the frame puts it in its MDI area, and places it when it first shows.
class XGDocumentWindow : public XGWindow {
public:
    explicit XGDocumentWindow(const XGViewRecord& record);
    void Show(bool front = true) override;
    void BringToFront() override;

private:
    bool fPositioned = false;
};
