// The splash window: picture resource 128 in a borderless window on top of the
// others, centred on the screen. It stays at least 3000 ms from when it showed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

class XGSplash {
public:
    static constexpr int64_t kMinimumMilliseconds = 3000;

    XGSplash();
    ~XGSplash();

    // Shows the picture; now is the current time in milliseconds.
    void Show(int64_t now);
    bool IsShown() const;
    int64_t GetCloseTime() const { return fCloseTime; }
    // Waits out what is left of the 3000 ms (wait gets the milliseconds; nothing
    // when the time has passed), then closes the window.
    void Finish(int64_t now, const std::function<void(int64_t)>& wait);
    QWidget* GetWidget() const { return fWindow.get(); }

    // Milliseconds of a steady clock.
    static int64_t Now();
    // Turns the event loop for ms milliseconds.
    static void WaitTurning(int64_t ms);

private:
    std::unique_ptr<QWidget> fWindow;
    int64_t fCloseTime = 0;
};
