// Importing a skeletal model from a skeleton export: the model build from the
// parsed tables to a finished model block with its levels of detail.
#pragma once

#include <memory>
#include <string>

#include "model/skeleton_file.h"
#include "model/skmd_format.h"

constexpr float TEXTURE_SEAM_TOLERANCE = 1.0f / 2048.0f;
constexpr float MINIMUM_VERTEX_WEIGHT = 0.025f;
constexpr int MAXIMUM_MODEL_VERTICES = 65535;

// Builds the model from parsed tables; name becomes the model's name (at most 31
// characters kept). Raises File Read Error when the tables make no model.
std::unique_ptr<TSkeletalModel> build_skeletal_model(const TSkeletonFile& file, const std::string& name);

// Parses the skeleton export at path and builds its model, named after the file.
std::unique_ptr<TSkeletalModel> import_skeletal_model(const std::string& path);
