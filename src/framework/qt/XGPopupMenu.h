// 'popm': a pop-up menu. Items are the record's "item" attributes; the value is the
// chosen item's index from 0. Sends popm before it opens and pval when the user
// chooses an item.
#pragma once

#include <vector>

#include "framework/qt/XGView.h"

class QComboBox;

class XGPopupMenu : public XGView {
public:
    XGPopupMenu(XGView* parent, const XGViewRecord& record);
    int32_t GetValue() const override;
    void SetValue(int32_t value) override;
    std::string GetText() const override;
    void SetItems(const std::vector<std::string>& items);
    int32_t GetItemCount() const;
    // Chooses an item as the user would (pval is sent).
    void Choose(int32_t index);

private:
    QComboBox* fCombo;
};
