// A skeletal model's picture drawn offscreen, as the model viewer shows it: a model of
// the tag at a level of detail, at rest or at a frame of an animation, framed from a
// yaw and pitch on a transparent background.
#pragma once

#include "tags/tags.h"
#include "texture/texture_image.h"

struct model_picture_options {
    int width = 256;
    int height = 256;
    int model = 0;
    int level = -1; // -1: the full detail
    tag_code animation = 0; // a skan tag; 0 for the rest pose
    int frame = 0;
    float yaw = 0.0f;
    float pitch = 20.0f;
};

// RGBA pixels, top row first. Raises an XGError with the reason when the tag or the
// animation cannot be read, when the model, level or frame is out of range, when the
// animation does not fit the model, or when no OpenGL context can be made.
texture_image render_model_picture(const TTagStore& store, tag_entry* skmd, const model_picture_options& options);
