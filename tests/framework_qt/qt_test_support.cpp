#include "framework_qt/qt_test_support.h"

#include <QApplication>
#include <QEventLoop>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

#include "framework/qt/XGDialog.h"
#include "framework/qt/XGFileDialog.h"

QApplication& qt_test_application()
{
    static int argc = 1;
    static char name[] = "quenchold-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        // the settings the windows keep go to a folder of this run, never the user's
        static QTemporaryDir settings;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
        QCoreApplication::setOrganizationName(QStringLiteral("Quenchold Tests"));
        return new QApplication(argc, argv);
    }();
    return *app;
}

void pump_events()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

bool shown_dialog::Mentions(const std::string& text) const
{
    if (title.find(text) != std::string::npos) return true;
    for (const std::string& t : texts)
        if (t.find(text) != std::string::npos) return true;
    return false;
}

ModalScript::ModalScript()
{
    XGSetModalHook([this](XGDialog& dialog) {
        fShown.push_back({dialog.GetTitle(), dialog.GetTexts()});
        if (fSteps.empty()) {
            std::string all;
            for (const std::string& t : fShown.back().texts) all += " | " + t;
            ADD_FAILURE() << "unexpected dialog: " << fShown.back().title << all;
            dialog.EndModal(dialog.GetCancelButton());
            return;
        }
        auto step = std::move(fSteps.front());
        fSteps.pop_front();
        step(dialog);
    });
    XGSetFileHook([this](const XGFileRequest& request) -> std::string {
        fRequests.push_back(request);
        if (fFiles.empty()) {
            ADD_FAILURE() << "unexpected file dialog: " << request.filter;
            return {};
        }
        std::string path = fFiles.front();
        fFiles.pop_front();
        return path;
    });
}

ModalScript::~ModalScript()
{
    XGSetModalHook({});
    XGSetFileHook({});
    EXPECT_EQ(Pending(), 0) << "dialogs that were expected did not come";
}

ModalScript& ModalScript::Then(std::function<void(XGDialog&)> step)
{
    fSteps.push_back(std::move(step));
    return *this;
}

ModalScript& ModalScript::Click(int32_t button)
{
    return Then([button](XGDialog& d) {
        EXPECT_TRUE(d.ClickControl(button)) << "no enabled button " << button << " in " << d.GetTitle();
        if (!d.IsDone()) d.EndModal(button);
    });
}

ModalScript& ModalScript::File(std::string path)
{
    fFiles.push_back(std::move(path));
    return *this;
}

// Leaks of the system's font and display libraries are not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\nleak:libdbus\nleak:libX11\nleak:libxcb\nleak:libEGL_mesa\nleak:libGLX_mesa\nleak:libgallium\nleak:swrast_dri\n";
}
