// 'list': a list of rows ("item" attributes or SetItems). The value is the selected
// row (-1 for none); with the attribute "multiple" several rows may be selected (the
// value is then the first of them). With "icons=WxH" each row may show a picture of
// that size beside its text, and a row's text may hold several lines. Sends lsel when
// the selection changes and lval when a row is double-clicked.
#pragma once

#include <vector>

#include "framework/qt/XGView.h"

class QImage;
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
    void SetItemText(int32_t row, const std::string& text);
    // The row's picture, drawn to fit the icon size keeping its proportions.
    void SetItemIcon(int32_t row, const QImage& image);
    bool HasItemIcon(int32_t row) const;
    // The longer side of the rows' pictures in device pixels; 0 without "icons".
    int32_t GetIconPixels() const;
    // Selects a row as the user would (lsel is sent).
    void Choose(int32_t row);

    // The selected rows in row order.
    std::vector<int32_t> GetSelection() const;
    // Selects exactly these rows (one only without "multiple"); lsel is not sent.
    void SetSelection(const std::vector<int32_t>& rows);
    // Selects rows as the user would (lsel is sent).
    void ChooseRows(const std::vector<int32_t>& rows);
    // While lsel is handled: puts back the selection the change replaced (lsel is not sent).
    void RestorePreviousSelection();

private:
    QListWidget* fList;
    bool fQuiet = false;
    bool fMultiple = false;
    bool fIcons = false;
    std::vector<int32_t> fSelection; // as last set or sent
    std::vector<int32_t> fPrevious;  // before the last change that was sent
};
