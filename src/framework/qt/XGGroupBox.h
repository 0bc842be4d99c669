// 'grou': a group box with a title; its subviews sit inside it.
#pragma once

#include "framework/qt/XGView.h"

class QGroupBox;

class XGGroupBox : public XGView {
public:
    XGGroupBox(XGView* parent, const XGViewRecord& record);
    std::string GetText() const override;
    void SetText(const std::string& text) override;

private:
    QGroupBox* fBox;
};
