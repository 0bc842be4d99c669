#include "framework/qt/XGPeriodic.h"

#include "framework/qt/XGAppCore.h"
#include "framework/qt/XGMessages.h"

XG_BEGIN_DISPATCH(XGPeriodic, XGDispatch)
    XG_ON(kXGPeriodicMessage, &XGPeriodic::DoTurn)
XG_END_DISPATCH()

XGPeriodic::~XGPeriodic()
{
    Stop();
}

void XGPeriodic::Start()
{
    XGAppCore* app = XGAppCore::Get();
    if (!app || fRunning) return;
    app->AddPeriodic(this);
    fRunning = true;
}

void XGPeriodic::Stop()
{
    if (!fRunning) return;
    if (XGAppCore* app = XGAppCore::Get()) app->RemovePeriodic(this);
    fRunning = false;
}

int32_t XGPeriodic::DoTurn(XGCode, XGParam, XGParam)
{
    DoPeriodic();
    return 0;
}
