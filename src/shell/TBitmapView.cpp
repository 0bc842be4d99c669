#include "shell/TBitmapView.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>

#include "framework/qt/XGPictures.h"

TBitmapView::TBitmapView(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    fLabel = new QLabel;
    fLabel->setAlignment(Qt::AlignCenter);
    fLabel->setScaledContents(true);
    if (int32_t n = record.GetInt("picture", 0)) fLabel->setPixmap(XGGetPicture(n));
    SetWidget(fLabel);
}

void TBitmapView::SetImage(const QImage& image)
{
    fLabel->setPixmap(QPixmap::fromImage(image));
}

void TBitmapView::SetColor(uint8_t red, uint8_t green, uint8_t blue)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(QColor(red, green, blue));
    SetImage(image);
}

uint32_t TBitmapView::GetCenterColor() const
{
    QPixmap pixmap = fLabel->pixmap();
    if (pixmap.isNull()) return 0;
    QImage image = pixmap.toImage();
    return image.pixel(image.width() / 2, image.height() / 2) & 0xFFFFFF;
}
