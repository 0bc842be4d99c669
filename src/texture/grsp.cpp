#include "texture/grsp.h"

#include <cstring>

#include "build/tagdepend.h"
#include "framework/XGFile.h"
#include "framework/XGFileSpecifier.h"
#include "tags/tags.h"
#include "texture/texture_errors.h"

const bs_code ground_sprites_codes[] = {_begin_bs_array, 4, _4byte, _4byte, _4byte, 4, _2byte, 18, 64,
                                        _end_bs_array};

TGroundSprites::TGroundSprites()
{
    std::memset(fSets.data(), 0, sizeof fSets);
    for (ground_sprite_set& s : fSets) s.sprite_definition = NONE_TAG;
}

bool TGroundSprites::Open(tag_entry* tag)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(tag, &size);
    if (!data) return false;
    const std::string what = std::string("The ground sprites \"") + tag_get_name(tag) + "\"";
    if (size < GROUND_SPRITES_HEADER_SIZE) texture_read_error(what + " is shorter than its header.");
    decltype(fSets) sets;
    byte_swap_copy("ground sprite header", sets.data(), data, sizeof sets, 1, ground_sprites_codes);
    decltype(fMasks) masks;
    for (int i = 0; i < NUMBER_OF_GROUND_SPRITE_SETS; ++i) {
        const ground_sprite_set& s = sets[i];
        if (s.mask_size == 0) continue;
        if (uint64_t(s.mask_offset) + s.mask_size > size)
            texture_read_error(what + ": the mask of set " + std::to_string(i) + " runs past the end of the data.");
        masks[i].assign(data + s.mask_offset, data + s.mask_offset + s.mask_size);
    }
    fSets = sets;
    fMasks = std::move(masks);
    fChanged = false;
    return true;
}

void TGroundSprites::GetMask(int set, const std::string& path)
{
    XGFile file(path);
    file.Open(XGFile::kRead);
    const uint64_t length = file.GetLength();
    if (length > 0xFFFFFFFFull - GROUND_SPRITES_HEADER_SIZE) texture_read_error(path + " is too large for a mask.");
    std::vector<uint8_t> bytes(length);
    if (length) file.ReadAt(0, bytes.data(), bytes.size());
    fMasks[set] = std::move(bytes);
    ground_sprite_set& s = fSets[set];
    s.mask_size = uint32_t(length);
    std::string name = XGFileSpecifier(path).GetName();
    std::memset(s.mask_name, 0, sizeof s.mask_name);
    std::memcpy(s.mask_name, name.data(), std::min(name.size(), sizeof s.mask_name - 1));
    fChanged = true;
}

void TGroundSprites::ClearMask(int set)
{
    fMasks[set].clear();
    ground_sprite_set& s = fSets[set];
    std::memset(s.mask_name, 0, sizeof s.mask_name);
    s.mask_offset = 0;
    s.mask_size = 0;
    fChanged = true;
}

std::string TGroundSprites::MaskLabel(int n) const
{
    const ground_sprite_set& s = fSets[n];
    if (fMasks[n].empty()) return "(none)";
    return std::string(s.mask_name, strnlen(s.mask_name, sizeof s.mask_name));
}

void TGroundSprites::Commit(tag_entry* tag)
{
    uint64_t running = GROUND_SPRITES_HEADER_SIZE;
    for (int i = 0; i < NUMBER_OF_GROUND_SPRITE_SETS; ++i) {
        ground_sprite_set& s = fSets[i];
        if (fMasks[i].empty()) {
            std::memset(s.mask_name, 0, sizeof s.mask_name);
            s.mask_offset = 0;
            s.mask_size = 0;
            continue;
        }
        const size_t length = strnlen(s.mask_name, sizeof s.mask_name - 1);
        std::memset(s.mask_name + length, 0, sizeof s.mask_name - length);
        s.mask_offset = uint32_t(running);
        s.mask_size = uint32_t(fMasks[i].size());
        running += fMasks[i].size();
    }
    if (running > 0xFFFFFFFFull) texture_read_error("The ground sprite masks are too large to store.");
    tag_data_ptr block(new uint8_t[running]);
    byte_swap_copy("ground sprite commit", block.get(), fSets.data(), sizeof fSets, 1, ground_sprites_codes);
    for (int i = 0; i < NUMBER_OF_GROUND_SPRITE_SETS; ++i)
        if (!fMasks[i].empty())
            std::memcpy(block.get() + fSets[i].mask_offset, fMasks[i].data(), fMasks[i].size());
    tag_set_data_owned(tag, std::move(block), uint32_t(running));
    fChanged = false;
}

void grsp_set_defaults(tag_entry* tag)
{
    TGroundSprites fresh;
    fresh.Commit(tag);
}

void grsp_collect_dependencies(tag_entry* tag)
{
    ground_sprite_set sets[NUMBER_OF_GROUND_SPRITE_SETS];
    if (!tag_read_structs("grsp", tag, sets, sizeof sets, 1, ground_sprites_codes)) {
        report_unreadable_tag(tag);
        return;
    }
    for (const ground_sprite_set& s : sets) add_dependency("spri"_4cc, s.sprite_definition);
}
