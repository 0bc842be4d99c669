// 'text': a static text. Attributes: align=left|center|right, bold, wrap.
#pragma once

#include "framework/qt/XGView.h"

class QLabel;

class XGStaticText : public XGView {
public:
    XGStaticText(XGView* parent, const XGViewRecord& record);
    std::string GetText() const override;
    void SetText(const std::string& text) override;

private:
    QLabel* fLabel;
};
