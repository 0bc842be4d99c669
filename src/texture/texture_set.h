// Texture stacks in memory: the form that the editor, the terrain collapse and the
// imports work on. A set owns its stacks, their textures and the textures' data.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "texture/texture_image.h"

struct tag_entry;

enum : uint8_t {
    TEXTURE_FORMAT_RAW = 0,
    TEXTURE_FORMAT_JPEG = 1,
};

enum : uint8_t {
    TEXTURE_USE_BASE = 0,
    TEXTURE_USE_DETAIL_MASK = 1,
    TEXTURE_USE_DETAIL_TEXTURE = 2,
    TEXTURE_USE_SKIN_MODIFIER = 3,
    TEXTURE_USE_LOGO_MASK = 4,
    TEXTURE_USE_GLOW_MASK = 5,
    TEXTURE_USE_REFLECT_MASK = 6,
};

struct stacked_texture {
    std::vector<uint8_t> compressed_data; // raw or JPEG pixels, as stored
    std::unique_ptr<texture_image> preview; // not stored; made on demand
    uint8_t channels = 0;
    uint8_t format = TEXTURE_FORMAT_RAW;
    uint8_t use = TEXTURE_USE_BASE;
    uint8_t layer = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    int16_t origin_x = 0;
    int16_t origin_y = 0;
    int16_t u_x = 0;
    int16_t u_y = 0;
    int16_t v_x = 0;
    int16_t v_y = 0;

    uint32_t data_size() const { return uint32_t(compressed_data.size()); }
    size_t raw_size() const { return size_t(width) * height * channels; }
};

struct texture_stack_entry {
    std::vector<std::unique_ptr<stacked_texture>> textures; // in stack order
    uint16_t first_attribute = 0;
    uint16_t second_attribute = 0;
    uint8_t header_unused[2] = {}; // carried from the stored stack header
};

struct texture_set {
    tag_entry* tag = nullptr; // the tag it was last read from or written to
    std::vector<texture_stack_entry> stacks;
    bool modified = false;
    uint8_t header_unused[2] = {}; // carried from the stored tag header

    uint32_t stack_count() const { return uint32_t(stacks.size()); }
};

// An empty set, marked modified.
std::unique_ptr<texture_set> create_texture_set(uint32_t capacity);

// Opens an empty stack (attributes 0 and 1) at index, shifting later stacks up; an index
// past the end first extends the set with empty stacks (attributes 0 and 0).
void insert_stack(texture_set& set, uint32_t index);

// Puts the texture into stack stack_index (made when it does not exist yet): position 0
// at the head, k after the k-th texture or after the last, -1 at the end. Returns the
// position taken, -1 for a null set or texture.
int insert_texture(texture_set* set, uint32_t stack_index, int position, std::unique_ptr<stacked_texture> texture);

// Takes a texture out of its stack; null when the set does not hold it.
std::unique_ptr<stacked_texture> remove_texture(texture_set& set, const stacked_texture* texture);

// Where a texture is: its stack and position, or false when the set does not hold it.
bool find_texture(const texture_set& set, const stacked_texture* texture, uint32_t* stack, uint32_t* position);
