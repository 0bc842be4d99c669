// Skeletal models on Mesa's software renderer: a steady frame of the sample figure at
// full detail and of a 4,000-vertex model while they play (posing, scene and drawing),
// beside clearing the same view; posing a 4,000-vertex level beside transforming its
// quad vertices alone; and render-model run as a program beside the program starting
// up on the same data plus one frame drawn by a fresh process (which, as every program
// drawing with Mesa, first loads its driver).
#include <benchmark/benchmark.h>

#include <chrono>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench_support.h"
#include "build/sample_data.h"
#include "model/figure_export_writer.h"
#include "model/skan_playback.h"
#include "model/skeleton_animation_import.h"
#include "model/skeleton_export_writer.h"
#include "model/skeleton_file.h"
#include "model/skeleton_model_import.h"
#include "model/skmd_scene.h"
#include "render/model_renderer.h"
#include "render/offscreen_context.h"

namespace {

constexpr int kViewWidth = 560, kViewHeight = 548; // the model form's viewer

struct bench_model {
    std::unique_ptr<TSkeletalModel> model;
    TSkeletalAnimationSet animations;
    texture_image skin;
};

bench_model Make(const std::string& text, float scale)
{
    TSkeletonFile file;
    file.Parse(text, "bench.skl");
    bench_model m;
    m.model = build_skeletal_model(file, "bench.skl");
    m.model->header.scale = scale;
    m.animations.bones = skan_bone_bases_for(*m.model);
    import_skeleton_animation(m.animations, file, "motion");
    m.skin.width = m.skin.height = 64;
    m.skin.channels = 3;
    m.skin.pixels = figure_texture_pixels(64);
    return m;
}

const bench_model& Figure()
{
    static bench_model m = Make(make_figure_export().text, 0.03125f);
    return m;
}

const bench_model& Large()
{
    static bench_model m = [] {
        cylinder_export_shape shape = cylinder_shape_for(4000);
        shape.frames = 8;
        return Make(make_cylinder_export(shape).text, 1.0f);
    }();
    return m;
}

offscreen_context& Context()
{
    static std::unique_ptr<offscreen_context> context = offscreen_context::create(kViewWidth, kViewHeight);
    if (!context) std::abort();
    return *context;
}

// One frame of playing: the bones at the next frame, the level posed, the scene drawn.
void PlayingFrame(benchmark::State& state, const bench_model& m)
{
    offscreen_context& context = Context();
    model_renderer renderer(context.gl());
    renderer.set_skin(&m.skin);
    const TSkeletalAnimation& animation = *m.animations.animations[0];
    int level = int(m.model->levels.size()) - 1;
    TskmdScene scene;
    scene.Build(*m.model, level, nullptr, -1);
    skmd_orbit_camera camera;
    camera.Frame(scene.fBounds, float(kViewWidth) / kViewHeight);
    model_view_options options;
    int frame = 0;
    for (auto _ : state) {
        std::vector<skmd_transform> pose = skan_frame_transforms(*m.model, animation, frame);
        frame = (frame + 1) % int(animation.frames.size());
        scene.Build(*m.model, level, &pose, -1);
        renderer.draw_scene(scene, camera, kViewWidth, kViewHeight, options);
        context.gl().Finish();
    }
    state.counters["vertices"] = double(scene.fMesh.vertex_count());
    state.counters["faces"] = double(scene.fMesh.triangle_count());
    renderer.release();
}

void BM_SteadyFrameFigure(benchmark::State& state) { PlayingFrame(state, Figure()); }
void BM_SteadyFrame4000(benchmark::State& state) { PlayingFrame(state, Large()); }

// Reference: the same view cleared and finished, nothing drawn.
void BM_ClearFrameReference(benchmark::State& state)
{
    offscreen_context& context = Context();
    const gl_functions& gl = context.gl();
    for (auto _ : state) {
        gl.ClearColor(0.3f, 0.34f, 0.4f, 1.0f);
        gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        gl.Finish();
    }
}

void BM_Pose4000(benchmark::State& state)
{
    const TSkeletalModel& model = *Large().model;
    int level = int(model.levels.size()) - 1;
    std::vector<skmd_transform> pose = skan_frame_transforms(model, *Large().animations.animations[0], 3);
    size_t vertices = 0;
    for (auto _ : state) {
        skmd_posed_mesh mesh = skmd_pose_level(model, level, model.header.lods[level].last_vertex, pose);
        vertices = mesh.positions.size() / 3;
        benchmark::DoNotOptimize(mesh.positions.data());
    }
    state.counters["vertices"] = double(vertices);
    state.counters["quads"] = double(model.levels[size_t(level)].quads.size());
}

// Reference: every quad vertex of the level through one bone's placement, nothing else.
void BM_TransformQuadsReference(benchmark::State& state)
{
    const TSkeletalModel& model = *Large().model;
    const TSkeletalLevel& level = model.levels.back();
    skmd_transform t = skmd_rest_transforms(model)[0];
    std::vector<float> moved(level.quads.size() * 3);
    for (auto _ : state) {
        for (size_t i = 0; i < level.quads.size(); ++i) {
            const skmd_quadvert& v = level.quads[i];
            for (int k = 0; k < 3; ++k)
                moved[i * 3 + size_t(k)] =
                    v.x * t.rotation[k][0] + v.y * t.rotation[k][1] + v.z * t.rotation[k][2] + v.w * t.translation[k];
        }
        benchmark::DoNotOptimize(moved.data());
    }
}

std::string Program();

const std::string& SampleData()
{
    static BenchFolder folder;
    static std::string data = [] {
        std::string path = folder.path() + "/data";
        make_sample_data(path);
        return path;
    }();
    return data;
}

std::string Self()
{
    char path[4096];
    ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) std::abort();
    return std::string(path, size_t(n));
}

// Seconds the program takes with these arguments, its output discarded.
double Run(std::vector<std::string> args, std::string program = Program())
{
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) std::abort();
    int status = 0;
    waitpid(pid, &status, 0);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
    return seconds;
}

// One frame of a stored model in a new context, read back: what this program does when
// started with --one-frame and the stored bytes of a skeletal model tag.
int OneFrame(const std::string& path)
{
    std::string bytes = read_text_file(path);
    skmd_load_result loaded = skmd_load(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (loaded.tag.models.empty()) return 1;
    const TSkeletalModel& model = *loaded.tag.models[0];
    auto context = offscreen_context::create(256, 256);
    if (!context) return 1;
    model_renderer renderer(context->gl());
    texture_image skin;
    skin.width = skin.height = 64;
    skin.channels = 3;
    skin.pixels = figure_texture_pixels(64);
    renderer.set_skin(&skin);
    TskmdScene scene;
    scene.Build(model, int(model.levels.size()) - 1, nullptr, -1);
    skmd_orbit_camera camera;
    camera.Frame(scene.fBounds, 1.0f);
    renderer.draw_scene(scene, camera, 256, 256, model_view_options());
    benchmark::DoNotOptimize(context->read_pixels(true).pixels.data());
    renderer.release();
    return 0;
}

// render-model of the sample figure, start to PNG, in turns with the program starting
// on the same data and finding the tag, and with a fresh process drawing one frame.
void BM_RenderModelProgram(benchmark::State& state)
{
    const std::string& data = SampleData();
    std::string out = data + "/figure.png";
    std::string stored = data + "/figure.skmd";
    Run({"--data", data, "export", "skmd", "figr", stored});
    double startup = 0, frame = 0, render = 0;
    for (auto _ : state) {
        startup += Run({"--data", data, "find", "skmd", "figr"});
        frame += Run({"--one-frame", stored}, Self());
        render += Run({"--data", data, "render-model", data + "/plugins/sample.tag", "figr", out});
    }
    double n = double(state.iterations());
    state.counters["startup_ms"] = startup / n * 1000;
    state.counters["frame_ms"] = frame / n * 1000;
    state.counters["render_model_ms"] = render / n * 1000;
    state.counters["ratio"] = render / (startup + frame);
}

std::string Program()
{
    std::string self = Self();
    return self.substr(0, self.rfind('/')) + "/quenchold-cli";
}

} // namespace

BENCHMARK(BM_ClearFrameReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SteadyFrameFigure)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SteadyFrame4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransformQuadsReference)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pose4000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderModelProgram)->Unit(benchmark::kMillisecond)->Iterations(8)->UseRealTime();

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--one-frame") return OneFrame(argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
