// Texture stacks from layered images: a terrain (one stack per 128 x 128 tile, a colour
// map and the detail masks) and the layers of one image into one stack.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "texture/psd_reader.h"
#include "texture/texture_set.h"

constexpr uint32_t TERRAIN_TILE_SIZE = 128;
constexpr uint32_t TERRAIN_TILE_STEP = 126; // neighbouring tiles share two columns or rows
constexpr int TERRAIN_IMPORT_QUALITY = 85;

struct terrain_tile_grid {
    uint32_t columns = 0;
    uint32_t rows = 0;
    int32_t first_x = -1; // where the first column and row start
    int32_t first_y = -1;
};
terrain_tile_grid terrain_grid(uint32_t width, uint32_t height);

// Import New Colormap: stack row x columns + column holds the tile's colour map from the
// first layer and a detail mask from each later layer that has a layer mask (masks whose
// bytes are all below 8 are left out), each recompressed at quality. Raises a read error
// when the image cannot be used.
std::unique_ptr<texture_set> import_terrain_image(const TLayeredImage& image, int quality = TERRAIN_IMPORT_QUALITY);
std::unique_ptr<texture_set> import_terrain_file(const std::string& path);
// The name of the texture stack tag made from an image: the file's name without its
// folder and extension, cut to a tag name's 31 characters.
std::string terrain_tag_name(const std::string& image_path);

// Every layer of the image (whose sides must be powers of two) gives full-size textures,
// inserted at successive positions from position; returns how many. The file's extension
// must be "psd". Raises a read error, inserting nothing, when the image cannot be used.
int import_layers_into_stack(texture_set& set, uint32_t stack, int position, const TLayeredImage& image);
int import_image_into_stack(texture_set& set, uint32_t stack, int position, const std::string& path);
