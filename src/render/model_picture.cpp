#include "render/model_picture.h"

#include "framework/XGError.h"
#include "model/skan_playback.h"
#include "model/skmd_scene.h"
#include "model/skmd_texture.h"
#include "render/model_renderer.h"
#include "render/offscreen_context.h"

namespace {

[[noreturn]] void Fail(const std::string& sentence)
{
    throw XGError(kXGError, "Model Picture Error", sentence);
}

std::string Range(int count)
{
    return count == 0 ? "none" : "0 to " + std::to_string(count - 1);
}

} // namespace

texture_image render_model_picture(const TTagStore& store, tag_entry* skmd, const model_picture_options& options)
{
    std::string name = tag_get_name(skmd);
    TSkeletalModelTag tag = load_skeletal_model_tag(skmd);
    int models = int(tag.models.size());
    if (options.model < 0 || options.model >= models)
        Fail(name + " - it has no model " + std::to_string(options.model) + " (models: " + Range(models) + ").");
    const TSkeletalModel& model = *tag.models[size_t(options.model)];
    int levels = int(model.levels.size());
    int level = options.level < 0 ? levels - 1 : options.level;
    if (options.level >= levels || levels == 0)
        Fail(name + " - model " + std::to_string(options.model) + " has no level " + std::to_string(options.level) +
             " (levels: " + Range(levels) + ").");

    std::vector<skmd_transform> pose;
    if (options.animation) {
        tag_entry* e = store.find_tag("skan"_4cc, options.animation);
        if (!e) Fail("There is no skeletal animation " + tag_code_to_text(options.animation) + ".");
        TSkeletalAnimationSet set = load_skeletal_animation_tag(e);
        std::string problem = skan_fit_problem(set, model);
        if (!problem.empty()) Fail(std::string(tag_get_name(e)) + " - " + problem);
        if (set.animations.empty()) Fail(std::string(tag_get_name(e)) + " - it holds no animation.");
        const TSkeletalAnimation& animation = *set.animations[0];
        int frames = int(animation.frames.size());
        if (options.frame < 0 || options.frame >= frames)
            Fail(std::string(tag_get_name(e)) + " - its animation has no frame " + std::to_string(options.frame) +
                 " (frames: " + Range(frames) + ").");
        pose = skan_frame_transforms(model, animation, options.frame);
    }

    TskmdScene scene;
    scene.Build(model, level, options.animation ? &pose : nullptr, -1);
    if (scene.IsEmpty()) Fail(name + " - " + scene.Problem());

    std::string why;
    std::unique_ptr<offscreen_context> context = offscreen_context::create(options.width, options.height, &why);
    if (!context) throw XGError(kXGError, "Drawing Error", why);
    skmd_orbit_camera camera;
    // at rest, so that every frame of an animation is seen from the same place
    TskmdScene rest;
    rest.Build(model, level, nullptr, -1);
    camera.Frame(rest.IsEmpty() ? scene.fBounds : rest.fBounds, float(options.width) / float(options.height),
                 options.yaw, options.pitch);

    model_renderer renderer(context->gl());
    texture_image skin;
    if (skmd_model_texture(store, tag.header, skin)) renderer.set_skin(&skin);
    renderer.draw_scene(scene, camera, options.width, options.height, model_view_options());
    context->gl().Finish();
    texture_image picture = context->read_pixels(true);
    renderer.release();
    return picture;
}
