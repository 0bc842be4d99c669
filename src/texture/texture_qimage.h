// Texture pixels as Qt pictures and back, for the editor's previews and for images
// added to or exported from a texture stack.
#pragma once

#include <QImage>

#include "texture/texture_image.h"

// 1 channel as grey, 2 as grey with alpha, 3 as RGB, 4 as RGBA; a null image for others.
QImage texture_qimage(const texture_image& image);
// The picture drawn over a checkerboard of squares of the side, so that alpha shows.
QImage texture_qimage_on_checkerboard(const texture_image& image, int square = 8);
// A picture as texture pixels: grey pictures give 1 channel, opaque ones 3, others 4.
texture_image texture_image_from_qimage(const QImage& picture);
