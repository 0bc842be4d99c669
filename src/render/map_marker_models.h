// Marker models: a marker's palette entry followed to its skeletal model (scenery with
// skeletal models, units through their monster, projectiles with a skeletal model),
// posed at rest at the simple (first) or complex (last) level of detail at the model's
// scale, kept per (model id, permutation, level) until the model's tag changes.
#pragma once

#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "map/map_pick.h"
#include "map/mesh_format.h"
#include "model/skmd_scene.h"
#include "tags/tags.h"

struct map_marker_model {
    skmd_mesh mesh; // world units
    map_box bounds; // model space
    tag_code id = NONE_TAG;
    tag_code skin = NONE_TAG; // the texture stack the model's tag names
    int permutation = 0;
};

// The skeletal model a palette entry's markers show, or NONE_TAG.
tag_code marker_model_id(const TTagStore* store, const marker_palette_entry& entry);

class map_model_cache {
public:
    explicit map_model_cache(TTagStore* store) : fStore(store) {}
    // The model, built on first use; null (nothing cached) when the tag is not open, the
    // permutation or level is not there, or its data cannot be read. A permutation out
    // of range becomes 0.
    const map_marker_model* model(tag_code id, int permutation, bool complex);
    void drop(tag_code id);
    size_t size() const { return fModels.size(); }

private:
    TTagStore* fStore;
    std::map<std::tuple<tag_code, int, bool>, std::unique_ptr<map_marker_model>> fModels;
};

// The box of a marker drawn with a model: the model's bounds turned by the marker's yaw
// and placed at its position.
map_box marker_model_box(const marker_data& m, const map_marker_model& model);
