#include "texture/texture_image.h"

void halve_image(texture_image& image)
{
    const uint32_t w = image.width, h = image.height, c = image.channels;
    if (image.size() == 0 || image.pixels.size() != image.size()) return;
    uint8_t* p = image.pixels.data();
    if (w >= 2 && h >= 2) {
        const uint32_t nw = w >> 1, nh = h >> 1;
        for (uint32_t y = 0; y < nh; ++y) {
            const uint8_t* r0 = p + size_t(2 * y) * w * c;
            const uint8_t* r1 = r0 + size_t(w) * c;
            uint8_t* out = p + size_t(y) * nw * c;
            for (uint32_t x = 0; x < nw; ++x)
                for (uint32_t k = 0; k < c; ++k) {
                    size_t i = size_t(2 * x) * c + k;
                    out[size_t(x) * c + k] = uint8_t((r0[i] + r0[i + c] + r1[i] + r1[i + c] + 2) >> 2);
                }
        }
        image.width = nw;
        image.height = nh;
    } else if (w >= 2 || h >= 2) {
        // One row or one column: either way the pixels lie one after another.
        const uint32_t n = (w >= 2 ? w : h) >> 1;
        for (uint32_t x = 0; x < n; ++x)
            for (uint32_t k = 0; k < c; ++k) {
                size_t i = size_t(2 * x) * c + k;
                p[size_t(x) * c + k] = uint8_t((p[i] + p[i + c] + 1) >> 1);
            }
        (w >= 2 ? image.width : image.height) = n;
    } else {
        return;
    }
    image.pixels.resize(image.size());
}
