// A periodic task: while started, it gets 'peri' from the application's 50 ms timer
// and runs DoPeriodic. Turns arrive through the main loop, never inside another handler.
#pragma once

#include "framework/XGDispatch.h"

class XGPeriodic : public XGDispatch {
    XG_DECLARE_DISPATCH()

public:
    XGPeriodic() = default;
    ~XGPeriodic() override;

    void Start();
    void Stop();
    bool IsRunning() const { return fRunning; }

protected:
    virtual void DoPeriodic() = 0;

private:
    int32_t DoTurn(XGCode code, XGParam, XGParam);
    bool fRunning = false;
};
