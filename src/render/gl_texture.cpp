#include "render/gl_texture.h"

#include <algorithm>
#include <bit>

namespace {

uint32_t power_of_two_at_most(uint32_t side, uint32_t maximum)
{
    uint32_t p = std::bit_floor(side);
    uint32_t limit = std::max<uint32_t>(1, std::bit_floor(std::max<uint32_t>(maximum, 1)));
    return std::min(p, limit);
}

// Bilinear resampling at pixel centres.
texture_image scaled(const texture_image& in, uint32_t width, uint32_t height)
{
    texture_image out;
    out.width = width;
    out.height = height;
    out.channels = in.channels;
    out.pixels.resize(out.size());
    const uint32_t c = in.channels;
    for (uint32_t y = 0; y < height; ++y) {
        double sy = (y + 0.5) * in.height / height - 0.5;
        sy = std::clamp(sy, 0.0, double(in.height - 1));
        uint32_t y0 = uint32_t(sy);
        uint32_t y1 = std::min(y0 + 1, in.height - 1);
        double fy = sy - y0;
        for (uint32_t x = 0; x < width; ++x) {
            double sx = (x + 0.5) * in.width / width - 0.5;
            sx = std::clamp(sx, 0.0, double(in.width - 1));
            uint32_t x0 = uint32_t(sx);
            uint32_t x1 = std::min(x0 + 1, in.width - 1);
            double fx = sx - x0;
            const uint8_t* a = &in.pixels[(size_t(y0) * in.width + x0) * c];
            const uint8_t* b = &in.pixels[(size_t(y0) * in.width + x1) * c];
            const uint8_t* d = &in.pixels[(size_t(y1) * in.width + x0) * c];
            const uint8_t* e = &in.pixels[(size_t(y1) * in.width + x1) * c];
            uint8_t* o = &out.pixels[(size_t(y) * width + x) * c];
            for (uint32_t k = 0; k < c; ++k) {
                double top = a[k] + (b[k] - a[k]) * fx;
                double bottom = d[k] + (e[k] - d[k]) * fx;
                o[k] = uint8_t(top + (bottom - top) * fy + 0.5);
            }
        }
    }
    return out;
}

} // namespace

GLenum gl_pixel_format(uint32_t channels)
{
    switch (channels) {
    case 1: return GL_LUMINANCE;
    case 2: return GL_LUMINANCE_ALPHA;
    case 3: return GL_RGB;
    case 4: return GL_RGBA;
    default: return 0;
    }
}

std::vector<texture_image> build_mip_chain(const texture_image& image, uint32_t maximum_side)
{
    std::vector<texture_image> levels;
    if (image.width == 0 || image.height == 0 || image.channels < 1 || image.channels > 4 ||
        image.pixels.size() < image.size())
        return levels;
    uint32_t width = power_of_two_at_most(image.width, maximum_side);
    uint32_t height = power_of_two_at_most(image.height, maximum_side);
    if (width == image.width && height == image.height)
        levels.push_back(image);
    else
        levels.push_back(scaled(image, width, height));
    while (levels.back().width > 1 || levels.back().height > 1) {
        texture_image next = levels.back();
        halve_image(next);
        levels.push_back(std::move(next));
    }
    return levels;
}

GLuint upload_texture(const gl_functions& gl, const texture_image& image)
{
    GLenum format = gl_pixel_format(image.channels);
    if (!format) return 0;
    std::vector<texture_image> levels = build_mip_chain(image, uint32_t(std::max<GLint>(gl.max_texture_size, 1)));
    if (levels.empty()) return 0;
    GLuint name = 0;
    gl.GenTextures(1, &name);
    gl.BindTexture(GL_TEXTURE_2D, name);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (size_t i = 0; i < levels.size(); ++i)
        gl.TexImage2D(GL_TEXTURE_2D, GLint(i), GLint(format), GLsizei(levels[i].width), GLsizei(levels[i].height), 0,
                      format, GL_UNSIGNED_BYTE, levels[i].pixels.data());
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    return name;
}
