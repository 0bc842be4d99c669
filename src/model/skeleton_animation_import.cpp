#include "model/skeleton_animation_import.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "model/skeleton_pose.h"
#include "model/skmd_format.h"
#include "tags/tags.h"

TSkeletalAnimation& import_skeleton_animation(TSkeletalAnimationSet& set, const TSkeletonFile& file,
                                              const std::string& name)
{
    if (file.fFrameCount < 1) model_read_error(name + " - the skeleton export has no frames.");
    std::vector<skan_bone_base> bases = set.bones;
    if (bases.empty()) {
        for (const skeleton_bone& bone : file.fBones) {
            skan_bone_base base{};
            std::strncpy(base.name, bone.name.c_str(), sizeof base.name - 1);
            bases.push_back(base);
        }
    }
    // the file's bone for each bone base
    std::vector<size_t> source;
    for (const skan_bone_base& base : bases) {
        std::string wanted(base.name, strnlen(base.name, sizeof base.name));
        size_t found = file.fBones.size();
        for (size_t b = 0; b < file.fBones.size() && found == file.fBones.size(); ++b)
            if (file.fBones[b].name.substr(0, sizeof base.name - 1) == wanted) found = b;
        if (found == file.fBones.size())
            model_read_error(name + " - the skeleton export has no bone named \"" + wanted + "\".");
        source.push_back(found);
    }

    // rotations and positions relative to each bone's parent, frame by frame
    std::vector<std::vector<std::array<float, 7>>> poses(size_t(file.fFrameCount));
    double largest = 0;
    for (int f = 0; f < file.fFrameCount; ++f) {
        std::vector<skmd_transform> placed = skeleton_frame_placements(file, f);
        for (size_t k = 0; k < bases.size(); ++k) {
            int parent = file.fBones[source[k]].parent;
            std::array<float, 7> pose;
            skeleton_relative_pose(parent >= 0 ? &placed[size_t(parent)] : nullptr, placed[source[k]], pose.data(),
                                   pose.data() + 4);
            for (int c = 4; c < 7; ++c) largest = std::max(largest, std::fabs(double(pose[size_t(c)])));
            poses[size_t(f)].push_back(pose);
        }
    }

    auto animation = std::make_unique<TSkeletalAnimation>();
    skan_animation_record& r = animation->record;
    std::strncpy(r.name, name.c_str(), sizeof r.name - 1);
    r.frame_rate = uint16_t(skan_round_fixed(file.fFrameRate, 256.0, 0, 0xFFFF));
    r.position_shift = int16_t(skan_position_shift(largest));
    double scale = std::ldexp(1.0, r.position_shift);
    for (int f = 0; f < file.fFrameCount; ++f) {
        TSkeletalAnimationFrame frame;
        frame.record.frame_event = SKAN_NO_EVENT;
        frame.record.event_tag = -1;
        for (const std::array<float, 7>& pose : poses[size_t(f)]) {
            skan_bone_pose stored{};
            for (int c = 0; c < 4; ++c) stored.rotation[c] = int16_t(skan_round_fixed(pose[size_t(c)], 32767.0, -32767, 32767));
            for (int c = 0; c < 3; ++c) stored.position[c] = int16_t(skan_round_fixed(pose[size_t(4 + c)], scale, -32767, 32767));
            frame.poses.push_back(stored);
        }
        animation->frames.push_back(std::move(frame));
    }
    set.bones = std::move(bases);
    set.animations.push_back(std::move(animation));
    return *set.animations.back();
}

void import_skeleton_animation_into_tag(tag_entry* e, const std::string& path)
{
    TSkeletonFile file;
    file.ParseFile(path);
    TSkeletalAnimationSet set = load_skeletal_animation_tag(e);
    std::string name = path_file_name(path);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    import_skeleton_animation(set, file, name);
    write_skeletal_animation_tag(set, e);
}
