#include "framework/qt/XGAppCore.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QKeySequence>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "framework/XGError.h"
#include "framework/XGMenuResource.h"
#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGEmbeddedResources.h"
#include "framework/qt/XGFactories.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGPeriodic.h"
#include "framework/qt/XGStyle.h"
#include "framework/qt/XGView.h"
#include "framework/qt/XGWindow.h"

namespace {

XGAppCore* gApplication = nullptr;

class XGEventHook : public QObject {
public:
    explicit XGEventHook(XGAppCore* app) : fApp(app) {}

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        bool taken = false;
        XGGuard([&] { taken = fApp->Turn(receiver, event); });
        return taken;
    }

private:
    XGAppCore* fApp;
};

bool IsInput(QEvent::Type t)
{
    switch (t) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

} // namespace

struct XGAppCore::Accelerator {
    QKeySequence keys;
    int16_t id;
};

XG_BEGIN_DISPATCH(XGAppCore, XGDispatch)
    XG_ON(kXGStatusMessage, &XGAppCore::DoStatus)
    XG_ON(kXGMenuMessage, &XGAppCore::DoMenu)
    XG_ON(kXGQuitApplication, &XGAppCore::DoQuit)
XG_END_DISPATCH()

XGAppCore::XGAppCore()
{
    if (gApplication) throw XGPostError(kXGApplicationCoreError);
    XGLoadEmbeddedResources();
    gApplication = this;
    XGRegisterFrameworkClasses();
    XGStyle::Install();
    fEventHook = std::make_unique<XGEventHook>(this);
    if (QCoreApplication* qt = QCoreApplication::instance()) qt->installEventFilter(fEventHook.get());
    fTimer = std::make_unique<QTimer>();
    fTimer->setInterval(50);
    QObject::connect(fTimer.get(), &QTimer::timeout, fEventHook.get(), [this] { RunPeriodicTasks(); });
    fTimer->start();
}

XGAppCore::~XGAppCore()
{
    fTimer->stop();
    while (!fWindows.empty()) delete fWindows.back();
    for (XGPeriodic* task : std::vector<XGPeriodic*>(fPeriodic)) task->Stop();
    fEventHook.reset();
    gApplication = nullptr;
}

XGAppCore* XGAppCore::Get()
{
    return gApplication;
}

void XGAppCore::Run()
{
    while (!fQuit) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

bool XGAppCore::Turn(QObject* receiver, QEvent* event)
{
    if (!IsInput(event->type())) return false;
    // the platform's own dialogs and open menus keep their keys
    if (QApplication::activePopupWidget()) return false;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && (!GetModalDialog() || modal != GetModalDialog()->GetFrameWidget())) return false;
    // a key event travels up the widgets as the same event: one turn only
    bool isKey = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    unsigned long timestamp = isKey ? static_cast<QKeyEvent*>(event)->timestamp() : 0;
    if (event == fLastEvent && timestamp == fLastTimestamp) return false;
    fLastEvent = event;
    fLastTimestamp = timestamp;

    const QKeyEvent* key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
    if (key && !GetModalDialog() && MdiAccelerator(key)) return true;
    Idle();
    if (key && !GetModalDialog() && TranslateAccelerator(key)) return true;
    if (PreTranslate(receiver, event)) return true;
    if (XGDispatch* target = GetCurrentTarget())
        if (target->Send(kXGEventMessage, reinterpret_cast<XGParam>(event), reinterpret_cast<XGParam>(receiver),
                         true) == 1)
            return true;
    if (key && HandleKey(key)) return true;
    return false;
}

void XGAppCore::ReportError(const XGError& error)
{
    fHadError = true;
    if (fHeadless) {
        std::fprintf(stderr, "%s: %s\n", error.GetTitle().c_str(), error.GetMessage().c_str());
        std::fflush(stderr);
        return;
    }
    XGShowErrorAlert(error);
}

XGWindow* XGAppCore::GetFrontWindow() const
{
    if (XGDialog* modal = GetModalDialog()) return modal;
    for (auto it = fWindows.rbegin(); it != fWindows.rend(); ++it)
        if ((*it)->IsShown()) return *it;
    return nullptr;
}

XGDispatch* XGAppCore::GetCurrentTarget()
{
    XGWindow* front = GetFrontWindow();
    if (!front) return this;
    return front->GetFocusView();
}

XGCommandStatus XGAppCore::GetCommandStatus(int16_t id)
{
    XGCommandStatus status;
    XGDispatch* target = GetCurrentTarget();
    if (target->Send(kXGStatusMessage, id, reinterpret_cast<XGParam>(&status), true) == kXGNotHandled)
        status = XGCommandStatus();
    return status;
}

bool XGAppCore::DoCommand(int16_t id)
{
    bool enabled = false;
    XGGuard([&] {
        enabled = GetCommandStatus(id).enabled;
        if (enabled) GetCurrentTarget()->Send(kXGMenuMessage, id, 0, true);
    });
    return enabled;
}

void XGAppCore::AddWindow(XGWindow* w)
{
    fWindows.push_back(w);
}

void XGAppCore::RemoveWindow(XGWindow* w)
{
    fWindows.erase(std::remove(fWindows.begin(), fWindows.end(), w), fWindows.end());
}

void XGAppCore::WindowToFront(XGWindow* w)
{
    auto it = std::find(fWindows.begin(), fWindows.end(), w);
    if (it == fWindows.end()) return;
    fWindows.erase(it);
    fWindows.push_back(w);
}

void XGAppCore::WindowToBack(XGWindow* w)
{
    auto it = std::find(fWindows.begin(), fWindows.end(), w);
    if (it == fWindows.end()) return;
    fWindows.erase(it);
    fWindows.insert(fWindows.begin(), w);
}

bool XGAppCore::CloseAllWindows()
{
    // front to back; a refusal stops
    while (!fWindows.empty()) {
        XGWindow* w = fWindows.back();
        if (!w->Close(true)) return false;
    }
    return true;
}

void XGAppCore::EnterModal(XGDialog* dialog)
{
    fModal.push_back(dialog);
}

void XGAppCore::LeaveModal(XGDialog* dialog)
{
    fModal.erase(std::remove(fModal.begin(), fModal.end(), dialog), fModal.end());
}

void XGAppCore::SetAccelerators(const std::vector<XGAccelerator>& table)
{
    fAccelerators.clear();
    for (const XGAccelerator& a : table) {
        QKeySequence keys = QKeySequence::fromString(QString::fromStdString(a.keys), QKeySequence::PortableText);
        if (!keys.isEmpty()) fAccelerators.push_back({keys, a.id});
    }
}

bool XGAppCore::TranslateAccelerator(const QKeyEvent* event)
{
    Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (!(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
        !(event->key() >= Qt::Key_F1 && event->key() <= Qt::Key_F35))
        return false;
    QKeySequence pressed(QKeyCombination(mods, Qt::Key(event->key())));
    for (const Accelerator& a : fAccelerators) {
        if (a.keys == pressed) {
            DoCommand(a.id);
            return true;
        }
    }
    return false;
}

int32_t XGAppCore::KeyCode(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Home: return kXGKeyHome;
    case Qt::Key_Enter: return kXGKeyEnter;
    case Qt::Key_End: return kXGKeyEnd;
    case Qt::Key_Help: return kXGKeyHelp;
    case Qt::Key_Backspace: return kXGKeyBackspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return kXGKeyTab;
    case Qt::Key_PageUp: return kXGKeyPageUp;
    case Qt::Key_PageDown: return kXGKeyPageDown;
    case Qt::Key_Return: return kXGKeyReturn;
    case Qt::Key_Escape: return kXGKeyEscape;
    case Qt::Key_Left: return kXGKeyLeft;
    case Qt::Key_Right: return kXGKeyRight;
    case Qt::Key_Up: return kXGKeyUp;
    case Qt::Key_Down: return kXGKeyDown;
    case Qt::Key_Delete: return kXGKeyDelete;
    default: break;
    }
    if (event->key() >= Qt::Key_F1 && event->key() <= Qt::Key_F35) return kXGKeyFunction + 1 + (event->key() - Qt::Key_F1);
    QString text = event->text();
    if (!text.isEmpty() && text[0].unicode() < 256) return text[0].unicode();
    return 0;
}

int32_t XGAppCore::ModifierFlags(int qtModifiers)
{
    int32_t flags = 0;
    if (qtModifiers & Qt::ShiftModifier) flags |= kXGShiftKey;
    if (qtModifiers & Qt::ControlModifier) flags |= kXGControlKey;
    if (qtModifiers & Qt::AltModifier) flags |= kXGAltKey;
    return flags;
}

bool XGAppCore::HandleKey(const QKeyEvent* event)
{
    int32_t code = KeyCode(event);
    if (code == 0) return false;
    return GetCurrentTarget()->Send(kXGKeyMessage, code, ModifierFlags(int(event->modifiers())), true) != kXGNotHandled;
}

bool XGAppCore::MdiAccelerator(const QKeyEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) return false;
    XGWindow* front = GetFrontWindow();
    if (event->key() == Qt::Key_F4) {
        if (front) front->Close(true);
        return true;
    }
    if ((event->key() == Qt::Key_F6 || event->key() == Qt::Key_Tab) && fWindows.size() > 1) {
        // the window at the back comes forward
        for (XGWindow* w : fWindows) {
            if (w != front && w->IsShown()) {
                w->BringToFront();
                break;
            }
        }
        return true;
    }
    return false;
}

void XGAppCore::AddPeriodic(XGPeriodic* task)
{
    if (std::find(fPeriodic.begin(), fPeriodic.end(), task) == fPeriodic.end()) fPeriodic.push_back(task);
}

void XGAppCore::RemovePeriodic(XGPeriodic* task)
{
    fPeriodic.erase(std::remove(fPeriodic.begin(), fPeriodic.end(), task), fPeriodic.end());
}

void XGAppCore::RunPeriodicTasks()
{
    // a task may stop itself or others during its turn
    std::vector<XGPeriodic*> tasks = fPeriodic;
    for (XGPeriodic* task : tasks) {
        if (std::find(fPeriodic.begin(), fPeriodic.end(), task) == fPeriodic.end()) continue;
        XGGuard([&] { task->Send(kXGPeriodicMessage, reinterpret_cast<XGParam>(task), 0); });
    }
}

int32_t XGAppCore::DoStatus(XGCode, XGParam id, XGParam status)
{
    auto* s = reinterpret_cast<XGCommandStatus*>(status);
    switch (id) {
    case kXGCommandAbout:
    case kXGCommandExit:
        s->enabled = true;
        return 0;
    default:
        return kXGNotHandled;
    }
}

int32_t XGAppCore::DoMenu(XGCode, XGParam id, XGParam)
{
    switch (id) {
    case kXGCommandAbout:
        ShowAbout();
        return 0;
    case kXGCommandExit:
        Send(kXGQuitApplication);
        return 0;
    default:
        return kXGNotHandled;
    }
}

int32_t XGAppCore::DoQuit(XGCode, XGParam, XGParam)
{
    if (CloseAllWindows()) fQuit = true;
    return 0;
}

void XGAppCore::ShowAbout()
{
    XGShowAbout(fName, "A content editor for the tag data of a real-time tactics game engine.");
}
