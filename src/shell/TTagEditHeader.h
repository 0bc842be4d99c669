// 'TGED': the header strip of the tag editor forms, built from view resource 133:
// the file button (9801), the path text (9802), Reload (9803) and Apply (9804).
#pragma once

#include "framework/qt/XGView.h"

class TTagEditHeader : public XGView {
public:
    static constexpr int32_t kResource = 133;
    TTagEditHeader(XGView* parent, const XGViewRecord& record);
};
