// 'pbtn': a push button; sends cclk when clicked (kclk for a keyboard click).
// Attribute: default (the window's default button).
#pragma once

#include "framework/qt/XGView.h"

class QPushButton;

class XGPushButton : public XGView {
public:
    XGPushButton(XGView* parent, const XGViewRecord& record);
    std::string GetText() const override;
    void SetText(const std::string& text) override;
    void Click() override;
    void SetDefault(bool isDefault);

private:
    QPushButton* fButton;
};
