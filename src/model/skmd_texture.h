// A skeletal model's skin: a texture of the texture stack its tag header names.
#pragma once

#include <string>

#include "model/skmd_format.h"
#include "texture/texture_image.h"

class TTagStore;

// The first base texture of the first stack with textures of the stack that the
// header's texture reference names, decoded. False with the reason in why when the
// model names no stack or the stack cannot give one (the model is then drawn without).
bool skmd_model_texture(const TTagStore& store, const skmd_tag_header& header, texture_image& out,
                        std::string* why = nullptr);
