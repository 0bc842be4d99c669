// 'TGBK': the panel behind the controls of a tag editor form.
#pragma once

#include "framework/qt/XGView.h"

class TTagEditBackground : public XGView {
public:
    TTagEditBackground(XGView* parent, const XGViewRecord& record);
};
