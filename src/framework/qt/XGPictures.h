// Pictures and icons from the resources: 'PICT' (the splash picture) and 'ICON'
// (small icons), stored as image files (PNG, XPM).
#pragma once

#include <cstdint>

#include "framework/XGCode.h"

class QPixmap;

constexpr XGCode kXGPictureType = 0x50494354; // 'PICT'
constexpr XGCode kXGIconType = 0x49434F4E;    // 'ICON'

// The picture, or an empty one when the resource is missing or not an image.
QPixmap XGGetPicture(int32_t n);
QPixmap XGGetIcon(int32_t n);
