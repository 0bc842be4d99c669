// Loads the input as skeletal model tag data, poses every level, builds what the viewer
// shows of each (collision mesh, each bone's cylinder) and stores it again.
#include <algorithm>
#include <cstdint>

#include "framework/XGError.h"
#include "model/skmd_format.h"
#include "model/skmd_pose.h"
#include "model/skmd_scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    skmd_load_result loaded = skmd_load(data, size);
    for (const auto& model : loaded.tag.models) {
        std::vector<skmd_transform> rest = skmd_rest_transforms(*model);
        for (int l = 0; l < model->header.lod_count; ++l)
            for (int c : {int(model->header.lods[l].first_vertex), int(model->header.lods[l].last_vertex)}) {
                try {
                    skmd_pose_level(*model, l, c, rest);
                } catch (const XGError&) {
                }
            }
        TskmdScene scene;
        for (int l = -1; l < model->header.lod_count; ++l) scene.Build(*model, l, nullptr, -1);
        for (int b = 0; b < std::min(int(model->bones.size()), 16); ++b) scene.Build(*model, -1, &rest, b);
    }
    try {
        std::vector<uint8_t> stored = skmd_store(loaded.tag);
        skmd_load_result again = skmd_load(stored.data(), stored.size());
        if (!again.failure.empty() || again.tag.models.size() != loaded.tag.models.size()) __builtin_trap();
    } catch (const XGError&) {
    }
    return 0;
}
