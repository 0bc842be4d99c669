#include "framework/qt/XGStaticText.h"

#include <QLabel>

XGStaticText::XGStaticText(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    fLabel = new QLabel(QString::fromLatin1(record.text.c_str()));
    std::string align = record.Get("align", "left");
    Qt::Alignment h = align == "center" ? Qt::AlignHCenter : align == "right" ? Qt::AlignRight : Qt::AlignLeft;
    fLabel->setAlignment(h | (record.Has("wrap") ? Qt::AlignTop : Qt::AlignVCenter));
    fLabel->setWordWrap(record.Has("wrap"));
    fLabel->setTextFormat(Qt::PlainText);
    if (record.Has("bold")) {
        QFont font = fLabel->font();
        font.setBold(true);
        fLabel->setFont(font);
    }
    SetWidget(fLabel);
}

std::string XGStaticText::GetText() const
{
    return fLabel->text().toLatin1().toStdString();
}

void XGStaticText::SetText(const std::string& text)
{
    fLabel->setText(QString::fromLatin1(text.c_str()));
}
