// Every way in from Qt (signals, event handlers, the main loop's turn) runs through
// XGGuard: an error that the code raises is reported as an alert instead of
// unwinding through Qt.
#pragma once

#include <functional>

class XGError;

// False when fn raised an error (which was reported).
bool XGGuard(const std::function<void()>& fn);

// Reports an error as the alert of its kind (through the application when there is one).
void XGReportError(const XGError& error);
