// Writes the skeleton export of a small walking figure: a torso, a head, two legs of
// thigh and calf with feet, two arms and a tag bone at its feet, each part a tube bound
// to one bone, and a looping walk. The sample data and the pixel tests use it.
#pragma once

#include <string>
#include <vector>

#include "model/skmd_pose.h"

struct figure_export {
    std::string text;
    std::vector<std::string> bone_names;
    std::vector<int> parents;
    std::vector<std::vector<skmd_transform>> placements; // per frame, per bone
    int frames_per_step = 0; // a foot comes down every this many frames
};

// frames of the walk (at least 1) at 30 frames a second; wave makes the figure stand
// with its left arm raised sideways, so that it is no longer symmetric.
figure_export make_figure_export(int frames = 24, bool wave = false);

// Texture coordinates of the parts run in four bands down the texture: torso, head,
// legs, arms. The figure's texture, RGB, side × side.
std::vector<uint8_t> figure_texture_pixels(int side);
