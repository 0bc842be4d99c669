// The stored form of texture stack tags: a tag header, one reference per stack, then the
// stack blocks (a stack header, the texture headers, the textures' data), big-endian.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tags/byte_swapping.h"
#include "texture/texture_set.h"

struct tag_entry;

struct txst_tag_header {
    uint16_t stack_count;
    uint8_t unused[2];
};
static_assert(sizeof(txst_tag_header) == 4);

struct txst_stack_reference {
    uint32_t offset; // of the stack block, from the start of the tag data
    uint32_t size;
    uint16_t first_attribute;
    uint16_t second_attribute;
};
static_assert(sizeof(txst_stack_reference) == 12);

struct txst_stack_header {
    uint16_t texture_count;
    uint8_t unused[2];
};
static_assert(sizeof(txst_stack_header) == 4);

struct txst_texture_header {
    uint32_t data_offset; // from the start of the stack block
    uint32_t data_size;
    uint8_t channels;
    uint8_t format;
    uint8_t use;
    uint8_t layer;
    uint16_t width;
    uint16_t height;
    int16_t origin_x;
    int16_t origin_y;
    int16_t u_x;
    int16_t u_y;
    int16_t v_x;
    int16_t v_y;
};
static_assert(sizeof(txst_texture_header) == 28);

// A texture as stored: its header in memory order and where its data lies.
struct stored_texture {
    txst_texture_header header;
    const uint8_t* data;
};

// The layout of a texture stack tag read in place: every stack with the range of its
// textures in textures. The data pointers point into the tag's data and stay valid while
// the tag's data is unchanged.
struct stored_texture_set {
    struct stack {
        txst_stack_reference reference;
        txst_stack_header header;
        uint32_t first; // index of its first texture
    };
    txst_tag_header header;
    std::vector<stack> stacks;
    std::vector<stored_texture> textures;
};

extern const bs_code txst_tagheader[];
extern const bs_code txst_stackref[];
extern const bs_code txst_stackheader[];
extern const bs_code txst_texheader[];

// Reads the layout of a texture stack tag, every offset and count checked against its
// data; raises the read errors of read_texture_set.
stored_texture_set read_stored_texture_set(tag_entry* tag);

// A texture in memory seen as stored: its header (data offset 0) and its data.
stored_texture stored_view(const stacked_texture& t);

// Reads a texture stack tag. Stacks without textures are dropped (the set is then
// marked modified). Raises a read error naming the tag when it is not a texture stack,
// its data cannot be had, or an offset or count runs past the data.
std::unique_ptr<texture_set> read_texture_set(tag_entry* tag);

// Replaces the tag's data with the stored form of the set, records the tag in the set
// and clears its modified flag. Gives up, leaving the tag as it was, when a texture has
// no data or the set does not fit the format; why then says which.
bool write_texture_set(tag_entry* tag, texture_set& set, std::string* why = nullptr);

// The new-tag defaults: a tag header with no stacks.
void txst_set_defaults(tag_entry* tag);

// Direct access to stored bytes (for views that draw from the tag's data): the number of
// stacks and the textures of one stack, with every offset checked against size.
uint32_t txst_stored_stack_count(const uint8_t* data, uint32_t size);
uint32_t txst_stored_texture_count(const uint8_t* data, uint32_t size, uint32_t stack);
// The header (in memory order) and the pixel data of one texture; false when it is not there.
bool txst_stored_texture(const uint8_t* data, uint32_t size, uint32_t stack, uint32_t index,
                         txst_texture_header* header, const uint8_t** pixels);
