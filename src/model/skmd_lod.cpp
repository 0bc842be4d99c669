#include "model/skmd_lod.h"

#include <cmath>
#include <cstring>

#include "framework/XGError.h"

std::vector<std::pair<uint16_t, uint16_t>> skmd_level_ranges(int min_vertex_count, int vertex_count,
                                                            const std::vector<uint16_t>& real_counts)
{
    int range = vertex_count - min_vertex_count;
    XG_ASSERT(range >= 0 && real_counts.size() == size_t(range) + 1, "skmd");
    int n = range / 50 + 1;
    if (n > MAXIMUM_REDUCED_LEVELS) n = MAXIMUM_REDUCED_LEVELS;
    std::vector<std::pair<uint16_t, uint16_t>> ranges;
    int start = min_vertex_count;
    for (int i = 0; i < n; ++i) {
        int end = real_counts[size_t((i + 1) * range / n)];
        if (end < start) end = start;
        ranges.emplace_back(uint16_t(start), uint16_t(end));
        start = end;
    }
    ranges.emplace_back(uint16_t(vertex_count), uint16_t(vertex_count));
    return ranges;
}

namespace {

const char* const kLimbWords[] = {"Spine", "Neck", "UpperArm", "Forearm", "Thigh", "Calf", "Foot", "Head", "Hand"};

bool NamesLimb(const skmd_bone& bone)
{
    char name[sizeof bone.name + 1] = {};
    std::memcpy(name, bone.name, sizeof bone.name);
    for (const char* word : kLimbWords)
        if (std::strstr(name, word)) return true;
    return false;
}

} // namespace

bool skmd_set_limb_cylinder(skmd_bone& bone)
{
    if (!NamesLimb(bone)) return false;
    bone.flags = (bone.flags & ~SKMD_BONE_AXIS_MASK) | (uint32_t(SKMD_AXIS_NONE) << SKMD_BONE_AXIS_SHIFT);
    const float* b = bone.bounds;
    for (int a = 0; a < 3; ++a)
        if (!(b[2 * a] < b[2 * a + 1])) return false;
    bone.flags |= SKMD_BONE_LIMB;

    float best = 1.0e11f;
    int winner = -1;
    float winner_r = 0;
    for (int a = 0; a < 3; ++a) {
        int j = (a + 1) % 3, k = (a + 2) % 3;
        float r = ((b[2 * j + 1] - b[2 * j]) + (b[2 * k + 1] - b[2 * k])) * 0.25f;
        float score = (std::fabs(r + b[2 * j]) + std::fabs(b[2 * j + 1] - r) + std::fabs(b[2 * k + 1] - r) +
                       std::fabs(r + b[2 * k])) /
                      r;
        if (score < best) {
            best = score;
            winner = a;
            winner_r = r;
        }
    }
    if (winner < 0) return true;
    bone.flags = (bone.flags & ~SKMD_BONE_AXIS_MASK) | (uint32_t(winner) << SKMD_BONE_AXIS_SHIFT);
    float c = (b[2 * winner] + b[2 * winner + 1]) * 0.5f;
    float h = (b[2 * winner + 1] - b[2 * winner]) * 0.6f;
    bone.near = c - h;
    bone.far = c + h;
    bone.radius = winner_r;
    return true;
}
