// Helpers of the texture tests: texture stack bytes assembled by hand, textures with
// patterned pixels, a tag store with one file, and ImageMagick as an independent tool.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "tags/tags.h"
#include "texture/texture_set.h"

struct hand_texture {
    uint8_t channels = 3, format = 0, use = 0, layer = 0;
    uint16_t width = 2, height = 2;
    int16_t placement[6] = {};
    bytes data;
};
struct hand_stack {
    uint16_t first = 0, second = 1;
    std::vector<hand_texture> textures;
};
// The stored form, packed as the format lays it out.
bytes build_txst(const std::vector<hand_stack>& stacks);

// A raw texture whose pixels follow a pattern that depends on seed.
std::unique_ptr<stacked_texture> patterned_texture(uint16_t width, uint16_t height, uint8_t channels, int seed,
                                                   uint8_t use = 0, uint8_t layer = 0);
// A smooth image, as photographs and terrain are (JPEG keeps it close).
texture_image smooth_image(uint32_t width, uint32_t height, uint32_t channels, int seed);

// A store with one new tag file in a temporary folder.
struct texture_store {
    TempFolder folder;
    TTagStore store;
    tag_file* file = nullptr;
    texture_store();
    tag_entry* add(const char* type, const char* id, const bytes& data, const char* name = "test");
};

// The tag's data as stored.
bytes tag_bytes(tag_entry* e);
// The message of the error f raises ("" when it raises none); with_title puts the title first.
std::string error_message(const std::function<void()>& f, bool with_title = false);

std::string fixture(const std::string& name);
// Runs a shell command; its exit status.
int run_tool(const std::string& command);
// Decodes an image file with ImageMagick into raw bytes of the given map ("gray" or "rgb").
bytes imagemagick_pixels(const std::string& path, const std::string& map);
// The largest difference between two byte arrays of one size.
int max_difference(const bytes& a, const bytes& b);
