#include "shell/TBitmapView.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>

#include "framework/qt/XGPictures.h"

namespace {

// Draws the picture as large as fits, keeping its proportions, pixels kept sharp.
class TFitPicture : public QLabel {
public:
    void paintEvent(QPaintEvent*) override
    {
        QPixmap picture = pixmap();
        if (picture.isNull()) return;
        QSize size = picture.size().scaled(this->size(), Qt::KeepAspectRatio);
        QPainter painter(this);
        painter.drawPixmap(QRect((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(),
                                 size.height()),
                           picture);
    }
};

} // namespace

TBitmapView::TBitmapView(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    fLabel = record.Has("fit") ? new TFitPicture : new QLabel;
    fLabel->setAlignment(Qt::AlignCenter);
    fLabel->setScaledContents(true);
    if (record.Has("scroll")) {
        fArea = new QScrollArea;
        fArea->setAlignment(Qt::AlignCenter);
        fArea->setBackgroundRole(QPalette::Dark);
        fArea->setWidget(fLabel);
    }
    if (int32_t n = record.GetInt("picture", 0)) SetImage(XGGetPicture(n).toImage());
    SetWidget(fArea ? static_cast<QWidget*>(fArea) : fLabel);
}

void TBitmapView::SetImage(const QImage& image)
{
    fImage = image;
    ShowImage();
}

void TBitmapView::SetZoom(double zoom)
{
    if (zoom <= 0) return;
    fZoom = zoom;
    ShowImage();
}

void TBitmapView::ShowImage()
{
    if (fImage.isNull()) {
        fLabel->clear();
        if (fArea) fLabel->resize(0, 0);
        return;
    }
    fLabel->setPixmap(QPixmap::fromImage(fImage));
    if (fArea) fLabel->resize(std::max(1, int(fImage.width() * fZoom)), std::max(1, int(fImage.height() * fZoom)));
}

int TBitmapView::GetWidth() const
{
    QWidget* w = GetWidget();
    return w && w->width() > 0 ? w->width() : GetFrame().width;
}

int TBitmapView::GetHeight() const
{
    QWidget* w = GetWidget();
    return w && w->height() > 0 ? w->height() : GetFrame().height;
}

void TBitmapView::SetColor(uint8_t red, uint8_t green, uint8_t blue)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(QColor(red, green, blue));
    SetImage(image);
}

uint32_t TBitmapView::GetCenterColor() const
{
    if (fImage.isNull()) return 0;
    return fImage.pixel(fImage.width() / 2, fImage.height() / 2) & 0xFFFFFF;
}
