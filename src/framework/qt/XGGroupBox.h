// 'grou': a group box with a title; its subviews sit inside it. With the attribute
// "collapsible" a check box in the title folds the group to its title line, and the
// window shrinks by what the group gave up ("collapsed" starts it folded).
#pragma once

#include "framework/qt/XGView.h"

class QGroupBox;

class XGGroupBox : public XGView {
public:
    XGGroupBox(XGView* parent, const XGViewRecord& record);
    std::string GetText() const override;
    void SetText(const std::string& text) override;
    QWidget* GetContainer() const override { return fInside; }

    bool IsCollapsible() const { return fCollapsible; }
    bool IsCollapsed() const { return fCollapsed; }
    void SetCollapsed(bool collapsed);

    static constexpr int kCollapsedHeight = 24;

private:
    QGroupBox* fBox;
    QWidget* fInside;
    bool fCollapsible = false;
    bool fCollapsed = false;
    int fOpenHeight = 0;
};
