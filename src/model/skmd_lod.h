// How the levels of detail of an imported model are cut, and the limb bones'
// collision cylinders.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "model/skmd_format.h"

// The (first_vertex, last_vertex) ranges of the levels: the reduced levels, then the
// final level covering vertex_count alone. real_counts[n - min_vertex_count] is the
// real vertex count n.
std::vector<std::pair<uint16_t, uint16_t>> skmd_level_ranges(int min_vertex_count, int vertex_count,
                                                            const std::vector<uint16_t>& real_counts);

// Gives a bone whose name names a limb a collision cylinder from its bounds and marks
// it; sets the collision axis to none for a limb bone without usable bounds.
// Returns whether the bone was marked as a limb.
bool skmd_set_limb_cylinder(skmd_bone& bone);
