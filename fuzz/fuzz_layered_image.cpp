// Parses the input as a layered image, decodes every channel and, for small images,
// runs both imports.
#include <cstdint>

#include "framework/XGError.h"
#include "texture/psd_reader.h"
#include "texture/texture_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        TLayeredImage image = TLayeredImage::Parse(std::vector<uint8_t>(data, data + size), "input.psd");
        for (const psd_layer& layer : image.layers())
            for (const psd_channel& channel : layer.channels) image.channel_pixels(channel);
        if (uint64_t(image.width()) * image.height() <= 256 * 256) {
            import_terrain_image(image, 0);
            auto set = create_texture_set(1);
            import_layers_into_stack(*set, 0, 0, image);
        }
    } catch (const XGError&) {
    }
    return 0;
}
