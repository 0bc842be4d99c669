// Collapse Terrain Detail: bakes the detail layers of a terrain into its colour maps.
// For every tile of the terrain stack tag the colour map is modulated by the averaged
// detail colour of each masked layer (one layer per stack of the detail stack tag), and
// the results become a new texture stack tag, one 128 x 128 colour map per tile.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "tags/tags.h"
#include "texture/texture_set.h"
#include "texture/txst_format.h"

constexpr uint32_t WORK_SIZE = 128;
constexpr uint32_t MAXIMUM_DETAIL_LAYERS = 16;
constexpr uint32_t DETAIL_RESAMPLE_SIZE = 1024;
constexpr int COLLAPSED_TERRAIN_QUALITY = 94;

// The ways the masked modulation can be computed; all give the same bytes.
enum class modulation_kernel { plain, sse2, avx2, avx512 };

// The work buffers of the collapse; the editor has one (terrain_collapser()), tests make
// their own. Collapses run one at a time.
class TTerrainCollapser {
public:
    TTerrainCollapser();
    TTerrainCollapser(const TTerrainCollapser&) = delete;
    TTerrainCollapser& operator=(const TTerrainCollapser&) = delete;

    // Collapses the two texture stack tags into a new tag "Collapsed Terrain Stack" in
    // the file and returns it. A missing or unreadable tag, a detail stack tag that does not
    // fit the table, or a failed check (reported as "Assertion (...) failed in "ctd" ...")
    // raises an error; nothing is created then.
    tag_entry* Collapse(tag_file* file, tag_code terrain_id, tag_code detail_id);

    // The same on sets in memory: the result set, one stack per terrain stack.
    std::unique_ptr<texture_set> CollapseSets(const texture_set& terrain, const texture_set& detail);

    // The steps, for the collapse and its tests.
    void BuildDetailTable(const texture_set& detail);
    void PrepareDetail(const stacked_texture& texture, uint8_t* slot);
    void ApplyMask(const stacked_texture& mask, uint32_t detail_num);
    // The mask's pixels after its checks: raw data where it is, else decoded into buffer
    // (WORK_SIZE x WORK_SIZE bytes).
    const uint8_t* DecodeMask(const stored_texture& mask, uint32_t detail_num, uint8_t* buffer) const;
    void ClearDetailTable();

    // The kernel is the widest the processor has; false when it lacks the one asked for.
    bool SetKernel(modulation_kernel kernel);

    uint32_t detail_count() const { return fDetailCount; }
    const uint8_t* detail(uint32_t n) const { return fDetails[n].get(); }
    uint8_t* base() { return fBase; }

private:
    struct TerrainStack {
        uint32_t first; // index of its first texture
        uint32_t count;
    };
    std::unique_ptr<texture_set> CollapseStacks(const std::vector<stored_texture>& textures,
                                                const std::vector<TerrainStack>& stacks, const texture_set& detail);
    void DecodeInto(const stored_texture& texture, uint8_t* pixels) const;
    void CheckDetailSet(const texture_set& detail) const;

    std::unique_ptr<uint8_t[]> fBaseStorage;
    uint8_t* fBase;                 // the tile being built, WORK_SIZE x WORK_SIZE x 3
    std::vector<uint8_t> fResample; // DETAIL_RESAMPLE_SIZE squared x 3, made once
    std::array<std::unique_ptr<uint8_t[]>, MAXIMUM_DETAIL_LAYERS> fDetails;
    uint32_t fDetailCount = 0;
    std::array<std::vector<float>, MAXIMUM_DETAIL_LAYERS> fInverses; // 1 - d of every detail byte
    std::vector<uint8_t> fMaskBytes; // the mask value of every byte of the base image
    std::vector<std::unique_ptr<uint8_t[]>> fMasks; // the decoded masks of a tile, kept for the next
    modulation_kernel fKernel = modulation_kernel::plain;
};

// The editor's collapser.
TTerrainCollapser& terrain_collapser();
