// A view: one rectangle of a window, usually a control, drawn by a Qt widget.
// Views form a tree inside their window; a view's next target is its parent view,
// the window's root view passes on to the form, then the window, then the application.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/XGDispatch.h"
#include "framework/XGViewRecord.h"

class QObject;
class QPoint;
class QWidget;
class XGDragData;
class XGWindow;

class XGView : public XGDispatch {
public:
    // Joins the parent's subviews (the parent owns it); a root view has no parent.
    XGView(XGView* parent, const XGViewRecord& record);
    ~XGView() override;

    int32_t GetID() const { return fID; }
    XGCode GetClassCode() const { return fClassCode; }
    XGView* GetParent() const { return fParent; }
    XGWindow* GetWindow() const { return fWindow; }
    const std::vector<XGView*>& GetSubviews() const { return fSubviews; }
    // This view or the first subview, depth first, with the id.
    XGView* FindView(int32_t id);
    // The view that draws the widget or one of its ancestors, or null.
    static XGView* FromWidget(const QWidget* widget);

    QWidget* GetWidget() const { return fWidget; }
    // Where subviews put their widgets.
    virtual QWidget* GetContainer() const { return fWidget; }

    XGRect GetFrame() const { return fFrame; }
    void SetFrame(const XGRect& frame);

    // Control state; views without the notion ignore the setter and give "" or 0.
    virtual std::string GetText() const { return {}; }
    virtual void SetText(const std::string& text) {}
    virtual int32_t GetValue() const { return 0; }
    virtual void SetValue(int32_t value) {}
    void Enable(bool enable);
    bool IsEnabled() const;
    // A locked view stays disabled whatever Enable asks; unlocked, it is as Enable left it.
    void Lock(bool locked);
    // The record's "view" attribute: the control changes only what is shown, not the data.
    bool IsViewOnly() const { return fViewOnly; }
    // The record's "edits" attribute: a button that changes the data.
    bool Edits() const { return fEdits; }
    void Show(bool show);
    bool IsShown() const;
    void Focus();
    // A click as the user makes it (buttons, check boxes); sends the control message.
    virtual void Click() {}

    // Drops: whether the view takes the data, and taking it.
    virtual bool CanAcceptDrop(const XGDragData& data) { return false; }
    virtual bool AcceptDrop(const XGDragData& data, const QPoint& where) { return false; }

    // Sends a control message (p1 the id, p2 this view) up the chain; errors become alerts.
    int32_t Notify(XGCode message);

    // The parent's container is now width by height: follow the "anchor" attribute
    // (letters l, t, r, b: the edges kept at their distance from the parent's edges
    // as the resource laid them out; "lr" stretches).
    void ParentResized(int width, int height);

protected:
    // Takes the subclass's widget: parents it to the parent's container, places it on
    // the frame, and applies the record's "disabled" and "hidden" attributes.
    void SetWidget(QWidget* widget);
    // The object that holds this view's signal connections; they end with the view.
    QObject* Bridge() const { return fBridge.get(); }
    // For a window's root view.
    void SetWindow(XGWindow* window) { fWindow = window; }

private:
    friend class XGWindow;
    int32_t fID;
    XGCode fClassCode;
    XGRect fFrame;
    XGRect fLaidOut; // the frame as the resource gave it
    std::string fAnchor;
    bool fStartDisabled; // as Enable last left it
    bool fStartHidden;
    bool fViewOnly;
    bool fEdits;
    bool fLocked = false;
    XGView* fParent;
    XGWindow* fWindow = nullptr;
    std::vector<XGView*> fSubviews;
    QWidget* fWidget = nullptr;
    std::unique_ptr<QObject> fBridge;
    // the parent's size the frame was laid out for
    int fLayoutWidth = 0;
    int fLayoutHeight = 0;
};
