// 'bmap': a picture: picture resource "picture=N", an image the form sets, or one
// colour (the colour swatches of the editor forms).
#pragma once

#include <cstdint>

#include "framework/qt/XGView.h"

class QImage;
class QLabel;

class TBitmapView : public XGView {
public:
    TBitmapView(XGView* parent, const XGViewRecord& record);
    void SetImage(const QImage& image);
    // Fills the view with one colour (8 bits a channel).
    void SetColor(uint8_t red, uint8_t green, uint8_t blue);
    // The colour at the centre of what is shown, as 0xRRGGBB (0 when empty).
    uint32_t GetCenterColor() const;

private:
    QLabel* fLabel;
};
