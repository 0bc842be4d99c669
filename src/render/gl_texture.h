// Texture upload with a mip chain of our own: the image is brought to power-of-two
// sides no larger than the context allows, then halved level by level down to 1 x 1.
#pragma once

#include <cstdint>
#include <vector>

#include "render/gl_functions.h"
#include "texture/texture_image.h"

// The levels to upload, level 0 first. Sides that are not powers of two are scaled down
// to the next power of two (bilinear), sides above maximum_side down to it; an empty
// image gives no levels. Images of 1 to 4 channels.
std::vector<texture_image> build_mip_chain(const texture_image& image, uint32_t maximum_side);

// The pixel format of a texture of 1 to 4 channels: luminance, luminance and alpha, RGB, RGBA.
GLenum gl_pixel_format(uint32_t channels);

// Generates a texture name, binds it and uploads the image with its mip chain; linear
// magnification, linear-mipmap-linear minification. Returns the name, or 0 (nothing
// generated) for an empty image or an unknown channel count.
GLuint upload_texture(const gl_functions& gl, const texture_image& image);
