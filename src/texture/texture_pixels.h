// Texture pixels: decoding and encoding the stored data (raw, or JPEG in the 1-, 3- and
// 4-channel layouts), recompression, quality matching, previews, and the split and merge
// of colour and alpha.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "texture/texture_image.h"
#include "texture/texture_set.h"

// The stored description of one texture's pixels.
struct texture_pixels_info {
    uint8_t format = TEXTURE_FORMAT_RAW;
    uint32_t channels = 0;
    uint32_t width = 0;
    uint32_t height = 0;
};

struct texture_decode_options {
    uint32_t requested_width = 0; // JPEG scale denominator = width / this; 0 for full size
    bool smooth = true;           // fancy upsampling: on for recompression, colour maps, masks and sprites
};

// Decodes stored pixel data: raw data is copied (it must be width x height x channels
// bytes), JPEG data decoded. False, with the reason in why, when it cannot be had.
bool decode_texture_data(const uint8_t* data, size_t size, const texture_pixels_info& info,
                         const texture_decode_options& options, texture_image& out, std::string* why = nullptr);
// The same at full size into pixels, which hold width x height x channels bytes.
bool decode_texture_data_into(const uint8_t* data, size_t size, const texture_pixels_info& info, bool smooth,
                              uint8_t* pixels, std::string* why = nullptr);
// The read error of a texture that cannot be decoded, naming its size and the reason.
[[noreturn]] void texture_decode_failed(uint32_t width, uint32_t height, const std::string& why);
bool decode_texture(const stacked_texture& t, const texture_decode_options& options, texture_image& out,
                    std::string* why = nullptr);
// As decode_texture at full size, raising a read error that names the texture when it fails.
texture_image decode_texture_or_fail(const stacked_texture& t, bool smooth);

// Encodes 1-, 3- or 4-channel pixels as JPEG at quality 1..100; 4 channels become a
// 3-byte big-endian length, the colour stream and the alpha stream.
std::vector<uint8_t> encode_texture_jpeg(const texture_image& image, int quality);
std::vector<uint8_t> encode_texture_jpeg(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t channels,
                                         int quality);

// Whether a texture of this many channels can be stored as JPEG (1, 3 and 4).
bool texture_channels_compress(uint32_t channels);

// Whether a JPEG of jpeg_size replaces data of old_size: it must save 5 % or 1000 bytes.
bool jpeg_saves_enough(uint64_t jpeg_size, uint64_t old_size);

// Recompression: quality 1..100 stores JPEG unless it saves too little (the old data is
// then kept); any other quality stores the pixels raw. A texture whose data does not
// decode raises a read error and is left as it was.
void recompress_texture(stacked_texture& t, int quality);
// Makes pixels (width x height x channels of the texture) its data, as recompressing them
// from raw data at quality would: JPEG when that saves enough, else raw.
void set_texture_pixels(stacked_texture& t, const uint8_t* pixels, int quality);
// The size that recompressing at quality would give, without changing the texture.
uint32_t recompressed_size(const stacked_texture& t, int quality);

// The quality whose encoding of the stream's own pixels comes closest to its size.
int match_jpeg_quality(const uint8_t* stream, size_t size, uint32_t width, uint32_t height, uint32_t channels);

// Builds the cached preview: the pixels halved until both sides are at most largest.
// A JPEG is decoded at 1/2, 1/4 or 1/8 scale in place of the halvings that halve both
// sides exactly. False (no preview) when the texture cannot be decoded.
bool make_preview(stacked_texture& t, uint32_t largest = 128);

// Split RGBA: a 4-channel texture becomes 3-channel and a 1-channel skin modifier with
// its alpha follows it in its stack (JPEG streams moved without re-encoding). Returns the
// new texture, or null when the texture is not a 4-channel texture of the set.
stacked_texture* split_rgba(texture_set& set, stacked_texture* t);

// Merge RGB and A: the 3-channel texture of the two takes the other (1 channel, same
// size) as its alpha; the alpha texture leaves the set. Returns the merged texture, or
// null when the pair does not qualify.
stacked_texture* merge_rgb_and_a(texture_set& set, stacked_texture* first, stacked_texture* second);
