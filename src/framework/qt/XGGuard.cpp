#include "framework/qt/XGGuard.h"

#include <new>

#include "framework/XGError.h"
#include "framework/qt/XGAlert.h"
#include "framework/qt/XGAppCore.h"

void XGReportError(const XGError& error)
{
    if (XGAppCore* app = XGAppCore::Get()) app->ReportError(error);
    else XGShowErrorAlert(error);
}

bool XGGuard(const std::function<void()>& fn)
{
    try {
        fn();
        return true;
    } catch (const XGError& error) {
        XGReportError(error);
    } catch (const std::bad_alloc&) {
        XGReportError(XGPostError(kXGOutOfMemory));
    } catch (const std::exception& e) {
        XGReportError(XGPostError(kXGRandomException));
    }
    return false;
}
