// 'chkb': a check box. A click sends cclk before anything changes; when nobody
// handles it, the box toggles. Attribute: value=1 to start checked.
#pragma once

#include "framework/qt/XGView.h"

class QCheckBox;

class XGCheckBox : public XGView {
public:
    XGCheckBox(XGView* parent, const XGViewRecord& record);
    int32_t GetValue() const override;
    void SetValue(int32_t value) override;
    std::string GetText() const override;
    void SetText(const std::string& text) override;
    void Click() override;

private:
    QCheckBox* fBox;
};
