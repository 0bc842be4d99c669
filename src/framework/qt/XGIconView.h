// 'icon': the alert icon of a kind (attribute kind=1 error, 2 caution, 3 warning, 4 information).
#pragma once

#include "framework/qt/XGView.h"

class XGIconView : public XGView {
public:
    XGIconView(XGView* parent, const XGViewRecord& record);
    int32_t GetValue() const override { return fKind; }

private:
    int32_t fKind;
};
