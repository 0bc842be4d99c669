// 'list': a list of rows ("item" attributes or SetItems). The value is the selected
// row (-1 for none). Sends lsel when the selection changes and lval when a row is
// double-clicked.
#pragma once

#include <vector>

#include "framework/qt/XGView.h"

class QListWidget;

class XGListControl : public XGView {
public:
    XGListControl(XGView* parent, const XGViewRecord& record);
    int32_t GetValue() const override;
    void SetValue(int32_t row) override;
    std::string GetText() const override; // the selected row's text
    void SetItems(const std::vector<std::string>& items);
    int32_t GetItemCount() const;
    std::string GetItemText(int32_t row) const;
    // Selects a row as the user would (lsel is sent).
    void Choose(int32_t row);

private:
    QListWidget* fList;
    bool fQuiet = false;
};
