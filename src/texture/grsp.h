// Ground sprites: up to four sets of small sprites scattered over a map's ground, each
// with a sprite definition, a mask image embedded byte for byte, and a density.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tags/byte_swapping.h"

struct tag_entry;

constexpr int NUMBER_OF_GROUND_SPRITE_SETS = 4;
constexpr uint32_t GROUND_SPRITES_HEADER_SIZE = 400;

struct ground_sprite_set {
    uint32_t sprite_definition; // a spri tag, -1 for none
    uint32_t mask_offset;       // from the start of the tag data; 0 without a mask
    uint32_t mask_size;
    uint8_t mask_slot[4];       // stored pointer slot, kept as read
    int16_t density;
    uint8_t unused[18];
    char mask_name[64];         // NUL-terminated, zero after the terminator
};
static_assert(sizeof(ground_sprite_set) == 100);

extern const bs_code ground_sprites_codes[];

// The ground sprites of one tag as its editor works on them.
class TGroundSprites {
public:
    TGroundSprites();

    // Reads the header and the masks. False when the tag's data cannot be had; a header
    // or mask that runs past the data raises a read error.
    bool Open(tag_entry* tag);
    // Reads the whole file as the set's mask, named after the file; raises the file errors.
    void GetMask(int set, const std::string& path);
    void ClearMask(int set);
    // Stores the header and the masks (at offsets from 400, in set order) as the tag's data.
    void Commit(tag_entry* tag);

    ground_sprite_set& set(int n) { return fSets[n]; }
    const ground_sprite_set& set(int n) const { return fSets[n]; }
    const std::vector<uint8_t>& mask(int n) const { return fMasks[n]; }
    // The mask's name, or "(none)".
    std::string MaskLabel(int n) const;
    bool changed() const { return fChanged; }

private:
    std::array<ground_sprite_set, NUMBER_OF_GROUND_SPRITE_SETS> fSets;
    std::array<std::vector<uint8_t>, NUMBER_OF_GROUND_SPRITE_SETS> fMasks;
    bool fChanged = false;
};

void grsp_set_defaults(tag_entry* tag);
void grsp_collect_dependencies(tag_entry* tag);
