// Alerts: Error, Caution and Warning, built from the framework's dialog templates
// with the title as ^0 and the message as ^1, and the close prompt "Save Window?".
#pragma once

#include <cstdint>
#include <string>

class XGError;

enum : int32_t {
    kXGAlertOK = 100,
    kXGAlertCancel = 101,
    kXGSaveWindowSave = 100,
    kXGSaveWindowCancel = 101,
    kXGSaveWindowDontSave = 102,
};

// Shows the alert of a kind (kXGError, kXGCaution, kXGWarning) and returns the button;
// a caption replaces the window's own ("Error", "Caution", "Warning").
int32_t XGShowAlert(int32_t kind, const std::string& title, const std::string& message,
                    const std::string& caption = {});
// Reports an error: clears the cancelled flag, shows the alert of the error's kind,
// and sets the flag when a Caution alert is answered with Cancel.
void XGShowErrorAlert(const XGError& error);
bool XGAlertCancelled();

// "Should the contents of ^0 be saved before the window is closed?"
int32_t XGAskSaveWindow(const std::string& name);

// The About box: the program's name and a line about it.
void XGShowAbout(const std::string& name, const std::string& text);
