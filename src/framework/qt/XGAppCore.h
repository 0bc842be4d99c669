// The application core: one per process. It runs the main loop (each input event
// takes one turn: MDI keys, idle, accelerators, the pre-translation hook, 'even'
// to the current target, the key handler), keeps the windows in front-to-back
// order, answers the framework's commands, reports errors as alerts and drives the
// periodic tasks from a 50 ms timer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/XGDispatch.h"
#include "framework/qt/XGMessages.h"

class QEvent;
class QKeyEvent;
class QObject;
class QTimer;
class QWidget;
class XGDialog;
class XGError;
class XGPeriodic;
class XGWindow;
struct XGAccelerator;

class XGAppCore : public XGDispatch {
    XG_DECLARE_DISPATCH()

public:
    // A second application while one exists is error 128/11.
    XGAppCore();
    ~XGAppCore() override;
    static XGAppCore* Get();

    void SetName(std::string name) { fName = std::move(name); }
    const std::string& GetName() const { return fName; }

    // Builds the frame, menu bar and first windows (the multi-window core does).
    virtual void Initialize() {}
    // Shows the main window once start-up is done.
    virtual void ShowMainWindow() {}

    // The main loop: turns until the quit flag is set.
    void Run();
    void SetQuit() { fQuit = true; }
    bool IsQuitting() const { return fQuit; }
    // One turn for an event on its way to its receiver; true when the turn took it.
    bool Turn(QObject* receiver, QEvent* event);
    virtual void Idle() {}
    virtual bool PreTranslate(QObject* receiver, QEvent* event) { return false; }

    // Without windows (a batch run), errors go to standard error.
    void SetHeadless(bool headless) { fHeadless = headless; }
    bool IsHeadless() const { return fHeadless; }
    // Whether an error was reported since the start.
    bool HadError() const { return fHadError; }
    virtual void ReportError(const XGError& error);

    // The chain: the modal dialog or the front window, its focus view.
    XGWindow* GetFrontWindow() const;
    XGDispatch* GetCurrentTarget();
    XGCommandStatus GetCommandStatus(int16_t id);
    // Sends the command down the chain when it is enabled; false when it is not.
    // An error it raises is reported as an alert.
    bool DoCommand(int16_t id);

    // Windows, back to front.
    const std::vector<XGWindow*>& GetWindows() const { return fWindows; }
    void AddWindow(XGWindow* w);
    void RemoveWindow(XGWindow* w);
    void WindowToFront(XGWindow* w);
    void WindowToBack(XGWindow* w);
    // Closes every window with its close check; false when one refused.
    bool CloseAllWindows();
    // The platform frame of a document window (an MDI subwindow), or null for a
    // window of its own.
    virtual QWidget* PlaceDocumentWindow(XGWindow* w) { return nullptr; }
    // Gives a document window its first size and place, just before it first shows.
    virtual void PositionDocumentWindow(XGWindow* w) {}
    virtual void ActivateDocumentWindow(XGWindow* w) {}

    void EnterModal(XGDialog* dialog);
    void LeaveModal(XGDialog* dialog);
    XGDialog* GetModalDialog() const { return fModal.empty() ? nullptr : fModal.back(); }

    // Accelerators: key texts ("Ctrl+N") and commands, first match wins.
    void SetAccelerators(const std::vector<XGAccelerator>& table);
    bool TranslateAccelerator(const QKeyEvent* event);
    // keye to the current target; true when handled.
    bool HandleKey(const QKeyEvent* event);
    static int32_t KeyCode(const QKeyEvent* event);
    // Qt's keyboard modifiers as kXGShiftKey, kXGControlKey and kXGAltKey.
    static int32_t ModifierFlags(int qtModifiers);

    // Periodic tasks, driven every 50 ms.
    void AddPeriodic(XGPeriodic* task);
    void RemovePeriodic(XGPeriodic* task);
    void RunPeriodicTasks();

protected:
    int32_t DoStatus(XGCode code, XGParam id, XGParam status);
    int32_t DoMenu(XGCode code, XGParam id, XGParam);
    int32_t DoQuit(XGCode code, XGParam, XGParam);
    // Help > About: the program's name.
    virtual void ShowAbout();
    // Ctrl+F4 closes the front window, Ctrl+F6 and Ctrl+Tab cycle the windows.
    virtual bool MdiAccelerator(const QKeyEvent* event);

private:
    struct Accelerator;
    std::string fName;
    bool fQuit = false;
    bool fHeadless = false;
    bool fHadError = false;
    std::vector<XGWindow*> fWindows;
    std::vector<XGDialog*> fModal;
    std::vector<XGPeriodic*> fPeriodic;
    std::vector<Accelerator> fAccelerators;
    std::unique_ptr<QObject> fEventHook;
    std::unique_ptr<QTimer> fTimer;
    const QEvent* fLastEvent = nullptr;
    unsigned long fLastTimestamp = 0;
};
