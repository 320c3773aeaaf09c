// Frames while the view moves against full frames, on the large benchmark scene, in one run:
// the simplified copies are made as the window makes them (snapshot, then the worker), then a
// drag of a few seconds is drawn as the window draws it (each frame's level chosen by the same
// rules from the frames before), then full frames for as long, at 800 x 600 in a headless Mesa
// context:
//   bench_moving [SCENE.3ds] [--seconds S] [--mode vertex|line|flat|smooth] [--pictures PREFIX]
// Without a scene it builds the benchmark scene in memory. With --pictures it also writes the
// last frame of each level and the full frame of the same position, PREFIX-level-N.png and
// PREFIX-full.png, to look at.
#include <QGuiApplication>
#include <QImage>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "HeadlessGl.h"
#include "OpenGlApi.h"
#include "bench/BenchScene.h"
#include "cli/RenderOptions.h"
#include "import3ds/Read3DS.h"
#include "view/MotionDetail.h"
#include "view/SceneRenderer.h"
#include "view/SimplifiedScene.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

bool LoadScene(const std::string& path, Scene& scene) {
    std::vector<uint8_t> built;
    std::unique_ptr<InputStream> in;
    if (path.empty()) {
        built = BuildBenchScene();
        in = std::make_unique<InputStream>(built.data(), built.size());
    } else {
        int error = 0;
        in = InputStream::OpenFile(path, error);
        if (!in) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), std::strerror(error));
            return false;
        }
    }
    scene.ClearScene();
    if (Read3DS(*in, scene) != Read3dsResult::Read) {
        std::fprintf(stderr, "not a 3DS scene\n");
        return false;
    }
    scene.m_settings.currentObject = 0;
    scene.CountScene();
    return true;
}

struct Run {
    int frames = 0;
    int simplified = 0;
    double ms = 0;
    int64_t triangles = 0;
};

// Frames for seconds, each turned a little further as a drag turns the view; the level of
// each chosen as the window chooses it.
Run Drag(SceneRenderer& renderer, Scene& scene, ViewState& view, MotionDetail& detail,
         const SimplifiedScene& copies, double seconds, bool moving) {
    const SteadyFrameClock clock;
    view.m_bLeftDown = moving;
    Run run;
    const auto start = std::chrono::steady_clock::now();
    while (MsSince(start) < seconds * 1000) {
        scene.m_settings.dragX += 2;
        const int level = detail.ChooseLevel(view, clock.Ticks(), copies.LevelTriangles());
        renderer.SetSimplified(&copies, level);
        const DrawnFrame frame = renderer.RenderScene(kWidth, kHeight, clock);
        if (!frame.drawn) continue;
        renderer.EndFrame(clock);
        detail.FrameDrawn(frame.simplified, frame.triangles, view.m_nFrameTicks);
        ++run.frames;
        run.simplified += frame.simplified ? 1 : 0;
        run.triangles += frame.triangles;
    }
    run.ms = MsSince(start);
    view.m_bLeftDown = false;
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    std::string path;
    std::string only = "smooth";
    std::string pictures;
    double seconds = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds = std::max(0.5, std::atof(argv[++i]));
        else if (std::strcmp(argv[i], "--mode") == 0 && i + 1 < argc)
            only = argv[++i];
        else if (std::strcmp(argv[i], "--pictures") == 0 && i + 1 < argc)
            pictures = argv[++i];
        else
            path = argv[i];
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char name[] = "bench_moving";
    char* qtArgv[] = {name, nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    std::string error;
    std::unique_ptr<HeadlessGl> gl =
        HeadlessGl::Create(kWidth, kHeight, HeadlessGl::ColorBuffer::Bytes, error);
    if (!gl) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    OpenGlApi api(&HeadlessGl::ProcAddress);
    Scene scene;
    if (!LoadScene(path, scene)) return 1;
    ViewState view;
    view.m_fAspect = static_cast<float>(kWidth) / kHeight;
    for (const DisplayModeName& m : kDisplayModeNames)
        if (only == m.name) view.m_nDisplayMode = m.mode;
    SceneRenderer renderer(api, scene, view);
    renderer.InitGl();
    renderer.SetupLights();
    renderer.SetupProjection(kWidth, kHeight);

    // The copies, as the window asks for them after a load: the snapshot on the window's
    // thread, the rest on the worker.
    SimplifiedScene copies;
    const auto start = std::chrono::steady_clock::now();
    int slices = 1;
    double longest = 0;
    for (auto slice = start;; slice = std::chrono::steady_clock::now()) {
        const bool more = copies.Refresh(scene, 4);
        longest = std::max(longest, MsSince(slice));
        if (!more) break;
        ++slices;
    }
    const double snapshotMs = MsSince(start);
    copies.WaitIdle();
    copies.Collect();
    size_t own = 0;
    for (const SceneObject& o : scene.m_objects)
        own += OwnBytes(o.vertices.size(), o.meshes.size());
    std::printf("Scene: %d objects, %d triangles, %d vertices, %.1f MB of lists\n",
                scene.m_stats.objects, scene.m_stats.meshes, scene.m_stats.vertices, own / 1e6);
    std::printf(
        "Simplified copies: snapshots %.1f ms on the window's thread in %d slices (the "
        "longest %.1f ms),\n  %.0f ms on the worker, %.1f MB (%.1f %% of the lists; at most "
        "25 %%)\n",
        snapshotMs, slices, longest, copies.BuildMs(), copies.Bytes() / 1e6,
        100.0 * static_cast<double>(copies.Bytes()) / static_cast<double>(own));
    std::printf("  triangles per level:");
    for (int64_t t : copies.LevelTriangles())
        std::printf(" %lld", static_cast<long long>(t));
    std::printf("\n");

    // The full frame that the window draws after the load (and that the buffers are made in),
    // then the drag and the full frames.
    MotionDetail detail;
    const Run warm = Drag(renderer, scene, view, detail, copies, 0.01, false);
    const Run moving = Drag(renderer, scene, view, detail, copies, seconds, true);
    const Run full = Drag(renderer, scene, view, detail, copies, seconds, false);
    std::printf("\n%s mode at %d x %d, Mesa llvmpipe, %.1f s each, first full frame %.0f ms:\n",
                only.c_str(), kWidth, kHeight, seconds, warm.ms);
    std::printf("%-22s %7s %10s %9s %13s\n", "", "frames", "simplified", "per sec", "triangles/fr");
    for (const auto& [label, run] :
         {std::pair<const char*, const Run&>{"while moving (drag)", moving}, {"full", full}}) {
        std::printf("%-22s %7d %10d %9.1f %13lld\n", label, run.frames, run.simplified,
                    1000.0 * run.frames / run.ms,
                    static_cast<long long>(run.frames ? run.triangles / run.frames : 0));
    }
    const double ratio = (moving.frames / moving.ms) / (full.frames / full.ms);
    std::printf("frames while moving: %.1f x as often as full frames (target: at least 5 x)\n",
                ratio);

    if (!pictures.empty()) {
        const SteadyFrameClock clock;
        const auto save = [&](int level, const std::string& file) {
            renderer.SetSimplified(&copies, level);
            if (renderer.RenderScene(kWidth, kHeight, clock).drawn) renderer.EndFrame(clock);
            const std::vector<uint8_t> pixels = gl->ReadPixels();
            QImage(pixels.data(), kWidth, kHeight, QImage::Format_RGBA8888)
                .save(QString::fromStdString(file));
            std::printf("wrote %s\n", file.c_str());
        };
        for (int level = 0; level < static_cast<int>(copies.LevelTriangles().size()); ++level)
            save(level, pictures + "-level-" + std::to_string(level) + ".png");
        save(-1, pictures + "-full.png");
    }
    return 0;
}
