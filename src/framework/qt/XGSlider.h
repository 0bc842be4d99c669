// 'slid': a horizontal slider. Attributes: min, max, value. Sends scrs when moved.
#pragma once

#include "framework/qt/XGView.h"

class QSlider;

class XGSlider : public XGView {
public:
    XGSlider(XGView* parent, const XGViewRecord& record);
    int32_t GetValue() const override;
    void SetValue(int32_t value) override;
    // The values it runs over; the value is kept within them.
    void SetRange(int32_t minimum, int32_t maximum);
    // Moves to a value as the user would (scrs is sent).
    void Slide(int32_t value);

private:
    QSlider* fSlider;
};
