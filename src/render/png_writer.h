// PNG pictures through libpng: 8 bits per channel, grey, grey and alpha, RGB or RGBA.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "texture/texture_image.h"

// The PNG bytes of an image of 1 to 4 channels. False, with the reason in why, for an
// empty image or one whose pixels do not match its size.
bool encode_png(const texture_image& image, std::vector<uint8_t>& out, std::string* why = nullptr);

// Writes the image as a PNG file through a temporary file beside it; raises the
// framework's file errors naming the path (the file is then unchanged).
void write_png_file(const std::string& path, const texture_image& image);

// Reads a PNG file of 8-bit channels (palette and grey images expanded); false, with the
// reason in why, when it cannot be read.
bool read_png_file(const std::string& path, texture_image& out, std::string* why = nullptr);
