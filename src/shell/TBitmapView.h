// 'bmap': a picture: picture resource "picture=N", an image the form sets, or one
// colour (the colour swatches of the editor forms). The picture fills the view; with
// "fit" it is as large as fits keeping its proportions; with "scroll" it is shown at
// its own size times the zoom, with scroll bars when it is larger than the view.
#pragma once

#include <cstdint>

#include <QImage>

#include "framework/qt/XGView.h"

class QLabel;
class QScrollArea;

class TBitmapView : public XGView {
public:
    TBitmapView(XGView* parent, const XGViewRecord& record);
    void SetImage(const QImage& image);
    const QImage& GetImage() const { return fImage; }
    // Fills the view with one colour (8 bits a channel).
    void SetColor(uint8_t red, uint8_t green, uint8_t blue);
    // The colour at the centre of what is shown, as 0xRRGGBB (0 when empty).
    uint32_t GetCenterColor() const;
    // The view's size on screen (its laid out size before it is shown).
    int GetWidth() const;
    int GetHeight() const;
    // Pixels of the screen per pixel of the image (scrolling views only).
    void SetZoom(double zoom);
    double GetZoom() const { return fZoom; }

private:
    void ShowImage();

    QLabel* fLabel;
    QScrollArea* fArea = nullptr;
    QImage fImage;
    double fZoom = 1.0;
};
