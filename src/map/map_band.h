// The band: the cells a brush collected, each with a weight. It is kept as a list,
// indexed by an open-addressing hash set of 2^k slots until it grows beyond 75 % of
// them; from then on the list is searched directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TMeshMap;

// The brush: radius in cells (Width), the part of the radius over which the weight
// falls off (Soft, 0..1) and how round that fall-off is (Round, 0 linear .. 1 cosine).
struct map_brush {
    double radius = 4;
    double soft = 0.5;
    double round = 0.5;

    // The weight of a cell at distance d from the centre (0 outside the radius).
    double weight(double d) const;
};

class map_band {
public:
    explicit map_band(int hash_bits = 12);

    void clear();
    bool contains(uint32_t cell) const;
    // Adds the cell; one already there keeps its place and takes the larger weight.
    // Returns whether it was new.
    bool add(uint32_t cell, float weight = 1);
    const std::vector<uint32_t>& cells() const { return fCells; }
    const std::vector<float>& weights() const { return fWeights; }
    float weight_of(uint32_t cell) const; // 0 when not in the band
    size_t size() const { return fCells.size(); }
    bool empty() const { return fCells.empty(); }
    // Whether the hash set still indexes the list.
    bool hashed() const { return !fSlots.empty(); }

private:
    int find(uint32_t cell) const; // position in the list or -1

    int fBits;
    std::vector<uint32_t> fCells;
    std::vector<float> fWeights;
    std::vector<int32_t> fSlots; // list position + 1, 0 for empty
};

// Adds every cell whose centre lies strictly within the brush radius of (x, y), from
// the square around it, with the brush's weight.
void band_brush(const TMeshMap& map, double x, double y, const map_brush& brush, map_band& band);
