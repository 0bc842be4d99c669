// Models of the sample data: a skeletal model and its animation made from a skeleton
// export the generator writes, and a camera animation from a written ASE export.
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "build/sample_data.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "model/canm.h"
#include "model/skeleton_animation_import.h"
#include "model/skeleton_export_writer.h"
#include "model/skeleton_model_import.h"
#include "tags/tag_types.h"

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

} // namespace

void add_sample_models(TSampleData& data)
{
    std::string sources = data.folder() + "/sources";
    std::error_code ec;
    std::filesystem::create_directories(sources, ec);
    if (ec) throw XGPostError(kXGFileCreateError, {sources});
    std::string skeleton = sources + "/sample_figure.skl";
    WriteText(skeleton, make_cylinder_export(cylinder_export_shape()).text);
    std::string camera = sources + "/sample_camera.ase";
    WriteText(camera, CameraExport());

    TSkeletalModelTag model;
    model.models.push_back(import_skeletal_model(skeleton));
    model.header.word0 = int32_t("figa"_4cc); // its animation
    tag_entry* skmd = data.add(data.plugin(), "skmd"_4cc, "figr", "sample figure", skmd_store(model));

    tag_entry* skan = data.add(data.plugin(), "skan"_4cc, "figa", "sample figure motion", skan_default_data());
    import_skeleton_animation_into_tag(skan, skeleton);

    import_camera_motion(data.store(), data.plugin(), camera);
    data.add_root("skmd"_4cc, tag_get_id(skmd));
}
