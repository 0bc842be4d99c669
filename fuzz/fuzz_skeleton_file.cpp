// Parses the input as a skeleton export and builds its model and animation.
#include <cstdint>
#include <string_view>

#include "framework/XGError.h"
#include "model/skeleton_animation_import.h"
#include "model/skeleton_model_import.h"
#include "model/skmd_pose.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TSkeletonFile file;
    try {
        file.Parse(std::string_view((const char*)data, size), "fuzz.skl");
    } catch (const XGError&) {
        return 0;
    }
    try {
        std::unique_ptr<TSkeletalModel> model = build_skeletal_model(file, "fuzz.skl");
        std::vector<skmd_transform> rest = skmd_rest_transforms(*model);
        for (int l = 0; l < model->header.lod_count; ++l)
            skmd_pose_level(*model, l, model->header.lods[l].first_vertex, rest);
        skmd_store(TSkeletalModelTag{});
    } catch (const XGError&) {
    }
    try {
        TSkeletalAnimationSet set;
        import_skeleton_animation(set, file, "fuzz");
        skan_write(set);
    } catch (const XGError&) {
    }
    return 0;
}
