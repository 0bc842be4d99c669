// Models of the sample data: a walking figure (its model with a texture stack and
// collision boxes, and its animation) made from a skeleton export the generator writes,
// and a camera animation from a written ASE export.
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "build/sample_data.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "model/canm.h"
#include "model/figure_export_writer.h"
#include "model/skan_playback.h"
#include "model/skeleton_animation_import.h"
#include "model/skeleton_model_import.h"
#include "tags/tag_types.h"
#include "texture/texture_pixels.h"
#include "texture/txst_format.h"

namespace {

void WriteText(const std::string& path, const std::string& text)
{
    XGFile out(path);
    out.Create();
    if (!text.empty()) out.Write(text.data(), text.size());
    out.Close();
}

std::string CameraExport()
{
    std::string t = "*3DSMAX_ASCIIEXPORT 200\n*COMMENT \"sample camera\"\n*CAMERAOBJECT {\n"
                    "  *NODE_NAME \"Camera01\"\n  *TM_ANIMATION {\n    *CONTROL_POS_TRACK {\n";
    char line[160];
    for (int i = 0; i < 5; ++i) {
        std::snprintf(line, sizeof line, "      *CONTROL_POS_SAMPLE %d %.4f %.4f %.4f\n", i * 160,
                      10.0 * std::cos(i * 0.3), 10.0 * std::sin(i * 0.3), 4.0 + i * 0.5);
        t += line;
    }
    t += "    }\n    // the camera turns as it goes\n    *CONTROL_ROT_TRACK {\n";
    for (int i = 0; i < 4; ++i) {
        std::snprintf(line, sizeof line, "      *CONTROL_ROT_SAMPLE %d 0.0000 0.0000 1.0000 %.4f\n", i * 200,
                      0.1 + 0.05 * i);
        t += line;
    }
    t += "    }\n  }\n}\n";
    return t;
}

tag_entry* AddFigureTexture(TSampleData& data)
{
    constexpr int kSide = 64;
    auto texture = std::make_unique<stacked_texture>();
    texture->channels = 3;
    texture->width = texture->height = kSide;
    texture->compressed_data = figure_texture_pixels(kSide);
    recompress_texture(*texture, 90);
    auto set = create_texture_set(1);
    insert_texture(set.get(), 0, 0, std::move(texture));
    tag_entry* e = data.add(data.plugin(), "txst"_4cc, "figt", "sample figure skin", std::vector<uint8_t>(4, 0));
    std::string why;
    if (!write_texture_set(e, *set, &why)) throw XGPostError(kXGFileWriteError, {"sample figure skin - " + why});
    return e;
}

skmd_collision_box Box(int16_t x0, int16_t y0, int16_t z0, int16_t x1, int16_t y1, int16_t z1)
{
    return {{x0, y0, z0, x1, y1, z1, 0, 0, 0, 0}};
}

// The figure walks along +x: a footprint as each foot comes down.
void AddWalkEvents(TSkeletalAnimation& walk, const TSkeletalModel& model, int frames_per_step)
{
    auto bone = [&](const char* name) {
        for (size_t b = 0; b < model.bones.size(); ++b)
            if (std::string(model.bones[b].name) == name) return int32_t(b);
        return int32_t(0);
    };
    for (TSkeletalAnimationFrame& frame : walk.frames) frame.record.frame_motion = int32_t(2.0 * 65536);
    const int32_t feet[2] = {bone("L Calf"), bone("R Calf")};
    for (int step = 0; step < 2; ++step) {
        size_t at = size_t(frames_per_step / 2 + step * frames_per_step);
        if (at >= walk.frames.size()) break;
        skan_pack_event({7, feet[step], step == 0, -1}, walk.frames[at].record);
    }
    skan_pack_event({1, bone("tag_origin_standard"), false, int32_t("chim"_4cc)}, walk.frames[0].record);
}

} // namespace

void add_sample_models(TSampleData& data)
{
    std::string sources = data.folder() + "/sources";
    std::error_code ec;
    std::filesystem::create_directories(sources, ec);
    if (ec) throw XGPostError(kXGFileCreateError, {sources});
    std::string skeleton = sources + "/sample_figure.skl";
    figure_export figure = make_figure_export();
    WriteText(skeleton, figure.text);
    std::string camera = sources + "/sample_camera.ase";
    WriteText(camera, CameraExport());

    tag_entry* texture = AddFigureTexture(data);
    TSkeletalModelTag model;
    model.models.push_back(import_skeletal_model(skeleton));
    TSkeletalModel& figure_model = *model.models[0];
    // a man-sized figure: drawn at 1/32 of its units, boxes in its units
    figure_model.header.scale = 0.03125f;
    figure_model.collision_boxes = {Box(-5, -8, 0, 6, 8, 30), Box(-5, -8, 30, 5, 8, 51), Box(-4, -4, 51, 4, 4, 62)};
    figure_model.header.collision_box_count = uint16_t(figure_model.collision_boxes.size());
    model.header.word0 = int32_t("figa"_4cc); // its animation
    model.header.word4 = int32_t(tag_get_id(texture));
    tag_entry* skmd = data.add(data.plugin(), "skmd"_4cc, "figr", "sample figure", skmd_store(model));

    TSkeletonFile file;
    file.ParseFile(skeleton);
    TSkeletalAnimationSet set;
    set.bones = skan_bone_bases_for(figure_model);
    TSkeletalAnimation& walk = import_skeleton_animation(set, file, "walk");
    AddWalkEvents(walk, figure_model, figure.frames_per_step);
    TSkeletalAnimationState moving{};
    std::snprintf(moving.record.name, sizeof moving.record.name, "%s", "moving");
    moving.choices.push_back({&walk, 3});
    moving.record.total_weight = 3;
    set.states.push_back(moving);
    tag_entry* skan = data.add(data.plugin(), "skan"_4cc, "figa", "sample figure walk", skan_default_data());
    write_skeletal_animation_tag(set, skan);

    import_camera_motion(data.store(), data.plugin(), camera);
    data.add_root("skmd"_4cc, tag_get_id(skmd));
}
