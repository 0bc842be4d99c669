#include "texture/texture_qimage.h"

#include <QPainter>
#include <cstring>

QImage texture_qimage(const texture_image& image)
{
    const int w = int(image.width), h = int(image.height);
    if (w == 0 || h == 0 || image.pixels.size() < image.size()) return {};
    const uint8_t* p = image.pixels.data();
    switch (image.channels) {
    case 1: {
        QImage out(w, h, QImage::Format_Grayscale8);
        for (int y = 0; y < h; ++y) std::memcpy(out.scanLine(y), p + size_t(y) * w, size_t(w));
        return out;
    }
    case 3: {
        QImage out(w, h, QImage::Format_RGB888);
        for (int y = 0; y < h; ++y) std::memcpy(out.scanLine(y), p + size_t(y) * w * 3, size_t(w) * 3);
        return out;
    }
    case 4: {
        QImage out(w, h, QImage::Format_RGBA8888);
        for (int y = 0; y < h; ++y) std::memcpy(out.scanLine(y), p + size_t(y) * w * 4, size_t(w) * 4);
        return out;
    }
    case 2: {
        QImage out(w, h, QImage::Format_RGBA8888);
        for (int y = 0; y < h; ++y) {
            uint8_t* row = out.scanLine(y);
            const uint8_t* in = p + size_t(y) * w * 2;
            for (int x = 0; x < w; ++x, in += 2, row += 4) row[0] = row[1] = row[2] = in[0], row[3] = in[1];
        }
        return out;
    }
    default: return {};
    }
}

QImage texture_qimage_on_checkerboard(const texture_image& image, int square)
{
    QImage picture = texture_qimage(image);
    if (picture.isNull() || !picture.hasAlphaChannel()) return picture;
    QImage out(picture.size(), QImage::Format_RGB32);
    QPainter painter(&out);
    for (int y = 0; y < out.height(); y += square)
        for (int x = 0; x < out.width(); x += square)
            painter.fillRect(x, y, square, square, ((x / square + y / square) & 1) ? QColor(204, 204, 204) : Qt::white);
    painter.drawImage(0, 0, picture);
    painter.end();
    return out;
}

texture_image texture_image_from_qimage(const QImage& picture)
{
    texture_image out;
    if (picture.isNull()) return out;
    out.width = uint32_t(picture.width());
    out.height = uint32_t(picture.height());
    QImage converted;
    if (picture.isGrayscale() && !picture.hasAlphaChannel()) {
        out.channels = 1;
        converted = picture.convertToFormat(QImage::Format_Grayscale8);
    } else if (!picture.hasAlphaChannel()) {
        out.channels = 3;
        converted = picture.convertToFormat(QImage::Format_RGB888);
    } else {
        out.channels = 4;
        converted = picture.convertToFormat(QImage::Format_RGBA8888);
    }
    const size_t row = size_t(out.width) * out.channels;
    out.pixels.resize(row * out.height);
    for (uint32_t y = 0; y < out.height; ++y) std::memcpy(&out.pixels[y * row], converted.constScanLine(int(y)), row);
    return out;
}
