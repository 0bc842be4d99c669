// Layered Photoshop documents (8-bit RGB or greyscale): the file header, the layer records
// with their bounds, channel lists and layer masks, and the channel data (raw, PackBits, or
// ZIP with or without prediction). Every length, count and offset is checked when the file
// is parsed; channel data is decoded on demand. A greyscale document reads as RGB: each
// layer's grey channel stands for all three colours.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "texture/large_buffer.h"

struct psd_rect {
    int32_t top = 0;
    int32_t left = 0;
    int32_t bottom = 0;
    int32_t right = 0;

    uint32_t width() const { return uint32_t(right - left); }
    uint32_t height() const { return uint32_t(bottom - top); }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(int64_t x, int64_t y) const { return x >= left && x < right && y >= top && y < bottom; }
};

enum : int16_t {
    PSD_CHANNEL_RED = 0,
    PSD_CHANNEL_GREEN = 1,
    PSD_CHANNEL_BLUE = 2,
    PSD_CHANNEL_TRANSPARENCY = -1,
    PSD_CHANNEL_LAYER_MASK = -2,
};

struct psd_channel {
    int16_t id = 0;
    psd_rect bounds;          // the layer's, or the mask's for the layer mask
    uint16_t compression = 0; // 0 raw, 1 PackBits, 2 ZIP, 3 ZIP with prediction
    uint64_t counts = 0;      // PackBits: where the row byte counts begin
    uint64_t data = 0;        // where the channel's data begins
    uint64_t length = 0;      // bytes of data
};

struct psd_layer {
    std::string name;
    psd_rect bounds;
    bool has_mask = false; // a layer mask record
    psd_rect mask_bounds;
    uint8_t mask_default = 0;
    std::vector<psd_channel> channels;

    const psd_channel* channel(int16_t id) const;
};

class TLayeredImage {
public:
    // Reads and parses the file; raises a read error that says what is wrong.
    static TLayeredImage Read(const std::string& path);
    // Parses bytes in memory; name is used in messages.
    static TLayeredImage Parse(std::vector<uint8_t> bytes, const std::string& name);

    uint32_t width() const { return fWidth; }
    uint32_t height() const { return fHeight; }
    const std::vector<psd_layer>& layers() const { return fLayers; }
    const std::string& name() const { return fName; }

    bool greyscale() const { return fGreyscale; }

    // The channel's pixels at its bounds (width x height bytes, rows from the top).
    // Raises a read error when the data is damaged.
    std::vector<uint8_t> channel_pixels(const psd_channel& channel) const;
    // The same into out, which holds width x height bytes of the channel's bounds.
    void decode_channel(const psd_channel& channel, uint8_t* out) const;

private:
    TLayeredImage() = default;
    // The header and the layers; where the composite image begins.
    uint64_t ParseLayers();
    // A document without layers: its composite image stands for one layer.
    void ParseComposite(uint64_t at);
    void CheckChannels();
    void GreyAsColour();
    [[noreturn]] void Damaged(const std::string& what) const;

    TLargeBuffer fStorage; // the file; the composite image only when it is used
    const uint8_t* fBytes = nullptr;
    uint64_t fSize = 0;
    std::string fName;
    uint32_t fWidth = 0;
    uint32_t fHeight = 0;
    bool fGreyscale = false;
    std::vector<psd_layer> fLayers;
};
