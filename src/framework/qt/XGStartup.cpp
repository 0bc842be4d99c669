#include "framework/qt/XGStartup.h"

#include <QApplication>
#include <cstdio>
#include <memory>

#include "framework/XGError.h"
#include "framework/qt/XGAppCore.h"
#include "framework/qt/XGEmbeddedResources.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGSplash.h"

int XGStartup(int& argc, char** argv, const std::function<XGAppCore*()>& create, const XGStartupOptions& options)
{
    std::unique_ptr<QApplication> qt;
    if (!QCoreApplication::instance()) qt = std::make_unique<QApplication>(argc, argv);

    XGSplash splash;
    std::unique_ptr<XGAppCore> app;
    try {
        XGLoadEmbeddedResources();
        if (!options.resources.empty()) XGLoadResourceFolder(options.resources);
        if (options.splash && !options.headless) splash.Show(XGSplash::Now());
        app.reset(create());
    } catch (const XGError& error) {
        std::fprintf(stderr, "%s: %s\n", error.GetTitle().c_str(), error.GetMessage().c_str());
        return 1;
    }
    if (!app) return 1;
    app->SetHeadless(options.headless);
    if (!options.headless && !XGGuard([&] { app->Initialize(); })) return 1;

    if (options.documents.empty()) {
        XGGuard([&] { app->Send(kXGOpenApplication); });
    } else {
        for (const std::string& document : options.documents)
            XGGuard([&] { app->Send(kXGOpenDocument, reinterpret_cast<XGParam>(&document)); });
    }
    // a batch run has nothing to wait for
    if (options.headless) app->SetQuit();
    splash.Finish(XGSplash::Now(), XGSplash::WaitTurning);
    if (!options.headless) app->ShowMainWindow();

    app->Run();
    int status = options.headless && app->HadError() ? 1 : 0;
    app.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}
