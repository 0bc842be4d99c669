// Window tests: one QApplication on the offscreen platform, event pumping, and a
// script that answers modal dialogs and file dialogs in order.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <memory>

#include "framework/qt/XGAppCore.h"
#include "framework/qt/XGFileDialog.h"

class QApplication;
class XGDialog;

QApplication& qt_test_application();
// Runs what is pending, deferred deletions included.
void pump_events();

// What a dialog showed: its title and the text of every view.
struct shown_dialog {
    std::string title;
    std::vector<std::string> texts;
    bool Mentions(const std::string& text) const;
};

// Answers the modal dialogs and file dialogs that come up, in order. A dialog or a
// file dialog nobody expected fails the test and is cancelled.
class ModalScript {
public:
    ModalScript();
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // The next dialog: the step drives it (and should end it).
    ModalScript& Then(std::function<void(XGDialog&)> step);
    // The next dialog is answered by clicking the button.
    ModalScript& Click(int32_t button);
    // The next file dialog chooses the path ("" cancels).
    ModalScript& File(std::string path);

    const std::vector<shown_dialog>& Shown() const { return fShown; }
    const std::vector<XGFileRequest>& FileRequests() const { return fRequests; }
    int Pending() const { return int(fSteps.size() + fFiles.size()); }

private:
    std::deque<std::function<void(XGDialog&)>> fSteps;
    std::deque<std::string> fFiles;
    std::vector<shown_dialog> fShown;
    std::vector<XGFileRequest> fRequests;
};

// A test with an application core of its own.
class XGAppCoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qt_test_application();
        fApp = std::make_unique<XGAppCore>();
    }
    void TearDown() override
    {
        fApp.reset();
        pump_events();
    }
    std::unique_ptr<XGAppCore> fApp;
};
