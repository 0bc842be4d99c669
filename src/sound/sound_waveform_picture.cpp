#include "sound/sound_waveform_picture.h"

#include <QPainter>
#include <algorithm>

QImage sound_waveform_picture(const std::vector<std::vector<sound_waveform_column>>& outline, int width, int height,
                              double position)
{
    QImage picture(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    picture.fill(QColor(24, 28, 36));
    QPainter painter(&picture);
    const int lanes = std::max<int>(1, int(outline.size()));
    const double lane = double(picture.height()) / lanes;
    for (int k = 0; k < int(outline.size()); ++k) {
        const double middle = lane * (k + 0.5);
        const double scale = (lane / 2 - 1) / 32768.0;
        painter.setPen(QColor(70, 80, 96));
        painter.drawLine(0, int(middle), picture.width(), int(middle));
        painter.setPen(QColor(110, 200, 140));
        const auto& columns = outline[size_t(k)];
        for (int x = 0; x < int(columns.size()) && x < picture.width(); ++x) {
            const int top = int(middle - columns[size_t(x)].high * scale);
            const int bottom = int(middle - columns[size_t(x)].low * scale);
            painter.drawLine(x, top, x, bottom);
        }
    }
    if (position >= 0) {
        const int x = std::min(picture.width() - 1, int(std::min(position, 1.0) * picture.width()));
        painter.setPen(QColor(255, 210, 80));
        painter.drawLine(x, 0, x, picture.height());
    }
    painter.end();
    return picture;
}
