#include "framework/qt/XGEditText.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <cstdlib>

#include "framework/qt/XGMessages.h"

XG_BEGIN_DISPATCH(XGEditText, XGView)
    XG_ON(kXGStatusMessage, &XGEditText::DoStatus)
    XG_ON(kXGMenuMessage, &XGEditText::DoMenu)
XG_END_DISPATCH()

XGEditText::XGEditText(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    fMaxLength = record.GetInt("max", 0);
    QString text = QString::fromLatin1(record.text.c_str());
    if (record.Has("multiline")) {
        fText = new QPlainTextEdit(text);
        fText->setReadOnly(record.Has("readonly"));
        QObject::connect(fText, &QPlainTextEdit::textChanged, Bridge(), [this] {
            if (fText->hasFocus()) Notify(kXGSetValueMessage);
        });
        SetWidget(fText);
    } else {
        fLine = new QLineEdit(text);
        if (fMaxLength > 0) fLine->setMaxLength(fMaxLength);
        fLine->setReadOnly(record.Has("readonly"));
        fLine->setPlaceholderText(QString::fromLatin1(record.Get("placeholder").c_str()));
        QObject::connect(fLine, &QLineEdit::textEdited, Bridge(), [this] { Notify(kXGSetValueMessage); });
        SetWidget(fLine);
    }
}

std::string XGEditText::GetText() const
{
    QString text = fLine ? fLine->text() : fText->toPlainText();
    return text.toLatin1().toStdString();
}

void XGEditText::SetText(const std::string& text)
{
    QString value = QString::fromLatin1(text.c_str());
    if (fLine) {
        fLine->setText(value);
    } else {
        if (fMaxLength > 0) value.truncate(fMaxLength);
        fText->setPlainText(value);
    }
}

int32_t XGEditText::GetValue() const
{
    return int32_t(std::strtol(GetText().c_str(), nullptr, 10));
}

void XGEditText::SetValue(int32_t value)
{
    SetText(std::to_string(value));
}

void XGEditText::SelectAll()
{
    if (fLine) fLine->selectAll();
    else fText->selectAll();
}

void XGEditText::SetReadOnly(bool readOnly)
{
    if (fLine) fLine->setReadOnly(readOnly);
    else fText->setReadOnly(readOnly);
}

bool XGEditText::IsReadOnly() const
{
    return fLine ? fLine->isReadOnly() : fText->isReadOnly();
}

void XGEditText::Type(const std::string& text)
{
    SetText(text);
    Notify(kXGSetValueMessage);
}

int32_t XGEditText::DoStatus(XGCode, XGParam id, XGParam status)
{
    auto* s = reinterpret_cast<XGCommandStatus*>(status);
    bool selection = fLine ? fLine->hasSelectedText() : fText->textCursor().hasSelection();
    bool writable = fLine ? !fLine->isReadOnly() : !fText->isReadOnly();
    switch (id) {
    case kXGCommandUndo:
        s->enabled = writable && (fLine ? fLine->isUndoAvailable() : fText->document()->isUndoAvailable());
        return 0;
    case kXGCommandCut:
    case kXGCommandClear:
        s->enabled = writable && selection;
        return 0;
    case kXGCommandCopy:
        s->enabled = selection;
        return 0;
    case kXGCommandPaste:
        s->enabled = writable && !QApplication::clipboard()->text().isEmpty();
        return 0;
    default:
        return kXGNotHandled;
    }
}

int32_t XGEditText::DoMenu(XGCode, XGParam id, XGParam)
{
    switch (id) {
    case kXGCommandUndo: fLine ? fLine->undo() : fText->undo(); break;
    case kXGCommandCut: fLine ? fLine->cut() : fText->cut(); break;
    case kXGCommandCopy: fLine ? fLine->copy() : fText->copy(); break;
    case kXGCommandPaste: fLine ? fLine->paste() : fText->paste(); break;
    case kXGCommandClear:
        if (fLine) fLine->del();
        else fText->textCursor().removeSelectedText();
        break;
    default: return kXGNotHandled;
    }
    Notify(kXGSetValueMessage);
    return 0;
}
