// 'slid': a horizontal slider. Attributes: min, max, value. Sends scrs when moved.
#pragma once

#include "framework/qt/XGView.h"

class QSlider;

class XGSlider : public XGView {
public:
    XGSlider(XGView* parent, const XGViewRecord& record);
    int32_t GetValue() const override;
    void SetValue(int32_t value) override;

private:
    QSlider* fSlider;
};
