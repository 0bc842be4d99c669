#include "map/map_band.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "map/mesh_map.h"

double map_brush::weight(double d) const
{
    if (radius <= 0 || d >= radius) return 0;
    double s = std::clamp(soft, 0.0, 1.0), r = std::clamp(round, 0.0, 1.0);
    double inner = radius * (1 - s);
    if (d <= inner) return 1;
    double t = (d - inner) / (radius - inner);
    double linear = 1 - t, smooth = 0.5 * (1 + std::cos(std::numbers::pi * t));
    return linear + (smooth - linear) * r;
}

map_band::map_band(int hash_bits) : fBits(std::clamp(hash_bits, 2, 24))
{
    clear();
}

void map_band::clear()
{
    fCells.clear();
    fWeights.clear();
    fSlots.assign(size_t(1) << fBits, 0);
}

int map_band::find(uint32_t cell) const
{
    if (fSlots.empty()) {
        auto it = std::find(fCells.begin(), fCells.end(), cell);
        return it == fCells.end() ? -1 : int(it - fCells.begin());
    }
    size_t mask = fSlots.size() - 1;
    for (size_t i = (cell * 2654435761u) & mask;; i = (i + 1) & mask) {
        int32_t s = fSlots[i];
        if (s == 0) return -1;
        if (fCells[size_t(s - 1)] == cell) return s - 1;
    }
}

bool map_band::contains(uint32_t cell) const
{
    return find(cell) >= 0;
}

float map_band::weight_of(uint32_t cell) const
{
    int i = find(cell);
    return i < 0 ? 0 : fWeights[size_t(i)];
}

bool map_band::add(uint32_t cell, float weight)
{
    int i = find(cell);
    if (i >= 0) {
        fWeights[size_t(i)] = std::max(fWeights[size_t(i)], weight);
        return false;
    }
    fCells.push_back(cell);
    fWeights.push_back(weight);
    if (!fSlots.empty()) {
        size_t capacity = fSlots.size();
        if (fCells.size() > capacity - capacity / 4) {
            fSlots.clear(); // full enough: the list is searched from now on
        } else {
            size_t mask = capacity - 1;
            size_t s = (cell * 2654435761u) & mask;
            while (fSlots[s]) s = (s + 1) & mask;
            fSlots[s] = int32_t(fCells.size());
        }
    }
    return true;
}

void band_brush(const TMeshMap& map, double x, double y, const map_brush& brush, map_band& band)
{
    if (map.fWidth <= 0 || map.fHeight <= 0 || brush.radius <= 0) return;
    int x0 = std::max(0, int(std::floor(x - brush.radius))), x1 = std::min(map.fWidth - 1, int(std::ceil(x + brush.radius)));
    int y0 = std::max(0, int(std::floor(y - brush.radius))), y1 = std::min(map.fHeight - 1, int(std::ceil(y + brush.radius)));
    for (int cy = y0; cy <= y1; ++cy)
        for (int cx = x0; cx <= x1; ++cx) {
            double d = std::hypot(cx - x, cy - y);
            if (d < brush.radius) band.add(uint32_t(cy * map.fWidth + cx), float(brush.weight(d)));
        }
}
