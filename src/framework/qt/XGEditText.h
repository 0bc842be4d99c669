// 'edit': an edit text. Attributes: max=N characters, multiline, readonly, placeholder=TEXT.
// Sends sval when the user changes the text; answers the Edit menu's commands
// while it has the focus.
#pragma once

#include "framework/qt/XGView.h"

class QLineEdit;
class QPlainTextEdit;

class XGEditText : public XGView {
    XG_DECLARE_DISPATCH()

public:
    XGEditText(XGView* parent, const XGViewRecord& record);
    std::string GetText() const override;
    void SetText(const std::string& text) override;
    // The number the text holds (0 when it holds none).
    int32_t GetValue() const override;
    void SetValue(int32_t value) override;
    void SelectAll();
    // Read-only text can be selected and copied, not changed.
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const;
    // Replaces the text as typing would (sval is sent).
    void Type(const std::string& text);

private:
    int32_t DoStatus(XGCode code, XGParam id, XGParam status);
    int32_t DoMenu(XGCode code, XGParam id, XGParam);

    QLineEdit* fLine = nullptr;
    QPlainTextEdit* fText = nullptr;
    int fMaxLength = 0;
};
