// 'radb': a radio button. A click sends cclk before anything changes; when nobody
// handles it, the button turns on and the other radio buttons of its parent view
// turn off (TurnOn does the same for a handler). Attribute: value=1 to start on.
#pragma once

#include "framework/qt/XGView.h"

class QRadioButton;

class XGRadioButton : public XGView {
public:
    XGRadioButton(XGView* parent, const XGViewRecord& record);
    int32_t GetValue() const override;
    void SetValue(int32_t value) override;
    std::string GetText() const override;
    void Click() override;
    // On, and every other radio button of the same parent view off.
    void TurnOn();

private:
    QRadioButton* fButton;
};
