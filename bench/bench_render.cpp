// Frames per second of RenderScene on the large benchmark scene, at 800 x 600 in a headless
// Mesa context, in each display mode, drawn both ways in the same run: every triangle between
// Begin and End (the plain sequence) and from buffer objects. Then the note label's cost on its
// own (read back, paint, write back) against a whole frame of the small example scene:
//   bench_render [SCENE.3ds] [--frames N] [--small FILE] [--mode vertex|line|flat|smooth]
// Without a scene it builds the benchmark scene in memory. Each frame ends with glFinish, so
// the time is the whole drawing of one frame.
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "HeadlessGl.h"
#include "LabelPainting.h"
#include "NoteLabelDrawing.h"
#include "OpenGlApi.h"
#include "bench/BenchScene.h"
#include "cli/RenderOptions.h"
#include "import3ds/ImportFile.h"
#include "import3ds/Read3DS.h"
#include "view/SceneRenderer.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

struct Timing {
    double first = 0;  // the warm-up run
    double best = 0;
    double median = 0;
};

double TimeOnce(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Runs one warm-up and then runs times, each timed alone, in milliseconds.
Timing Time(int runs, const std::function<void()>& run) {
    const double first = TimeOnce(run);
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i)
        ms.push_back(TimeOnce(run));
    std::sort(ms.begin(), ms.end());
    return {first, ms.front(), ms[ms.size() / 2]};
}

// One whole frame as the window draws it, without a label.
void DrawFrame(SceneRenderer& renderer, const FrameClock& clock) {
    if (renderer.RenderScene(kWidth, kHeight, clock).drawn) renderer.EndFrame(clock);
}

bool LoadBenchScene(const std::string& path, Scene& scene) {
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

void PrintModes(OpenGlApi& api, Scene& scene, int frames, const std::string& only) {
    const SteadyFrameClock clock;
    ViewState view;
    view.m_fAspect = static_cast<float>(kWidth) / kHeight;
    SceneRenderer renderer(api, scene, view);
    renderer.InitGl();
    renderer.SetupLights();
    renderer.SetupProjection(kWidth, kHeight);

    std::printf("RenderScene at %d x %d, Mesa llvmpipe, %d objects, %d triangles, %d vertices\n",
                kWidth, kHeight, scene.m_stats.objects, scene.m_stats.meshes,
                scene.m_stats.vertices);
    std::printf("%-8s %-10s %10s %10s %8s %9s %9s\n", "mode", "path", "best ms", "median ms", "fps",
                "speed-up", "first ms");
    for (const DisplayModeName& m : kDisplayModeNames) {
        if (!only.empty() && only != m.name) continue;
        view.m_nDisplayMode = m.mode;
        renderer.SetDrawPath(DrawPath::Immediate);
        const Timing plain = Time(frames, [&] { DrawFrame(renderer, clock); });
        renderer.SetDrawPath(DrawPath::Buffers);
        // The warm-up frame makes the buffers this mode needs.
        const Timing fast = Time(frames, [&] { DrawFrame(renderer, clock); });
        std::printf("%-8s %-10s %10.1f %10.1f %8.2f\n", m.name, "begin/end", plain.best,
                    plain.median, 1000.0 / plain.median);
        std::printf("%-8s %-10s %10.1f %10.1f %8.2f %8.1fx %9.1f\n", m.name, "buffers", fast.best,
                    fast.median, 1000.0 / fast.median, plain.median / fast.median, fast.first);
    }

    // How much of a lit frame is the vertex stage: the same frames into a viewport of one pixel
    // still light and project every corner, but fill next to nothing.
    std::printf("\nlit modes into a 1 x 1 viewport (the vertex stage, nearly without filling):\n");
    std::printf("%-8s %-10s %10s %10s %9s\n", "mode", "path", "best ms", "median ms", "of frame");
    for (const DisplayModeName& m : kDisplayModeNames) {
        if ((m.mode != ModeFlat && m.mode != ModeSmooth) || (!only.empty() && only != m.name))
            continue;
        view.m_nDisplayMode = m.mode;
        for (DrawPath path : {DrawPath::Immediate, DrawPath::Buffers}) {
            renderer.SetDrawPath(path);
            const Timing whole = Time(frames, [&] { DrawFrame(renderer, clock); });
            api.Viewport(0, 0, 1, 1);
            const Timing vertexStage = Time(frames, [&] { DrawFrame(renderer, clock); });
            api.Viewport(0, 0, kWidth, kHeight);
            std::printf("%-8s %-10s %10.1f %10.1f %8.0f %%\n", m.name,
                        path == DrawPath::Immediate ? "begin/end" : "buffers", vertexStage.best,
                        vertexStage.median, 100.0 * vertexStage.median / whole.median);
        }
    }
}

// A whole frame of a small scene, its label included, against the label alone.
void PrintLabelCost(OpenGlApi& api, const std::string& path, int frames) {
    Scene scene;
    if (!ImportSceneFile(path, scene).ok) {
        std::fprintf(stderr, "%s: not read\n", path.c_str());
        return;
    }
    scene.CountScene();
    const SteadyFrameClock clock;
    ViewState view;
    view.m_bDefaultView = scene.m_cameras.empty();
    view.m_fAspect = static_cast<float>(kWidth) / kHeight;
    SceneRenderer renderer(api, scene, view);
    renderer.InitGl();
    renderer.SetupLights();
    renderer.SetupProjection(kWidth, kHeight);
    const QFont font = FontFromLogFont(scene.m_settings.textFont);
    DrawnFrame last;
    const Timing whole = Time(frames, [&] {
        last = renderer.RenderScene(kWidth, kHeight, clock);
        if (!last.drawn) return;
        if (last.label) DrawNoteLabel(api, *last.label, font, 1.0);
        renderer.EndFrame(clock);
    });
    if (!last.label) {
        std::printf("%s: the current object has no label\n", path.c_str());
        return;
    }
    const NoteLabel label = *last.label;
    const Timing alone = Time(frames * 4, [&] {
        DrawNoteLabel(api, label, font, 1.0);
        api.Finish();
    });
    std::printf("\nNote label on %s at %d x %d (%d triangles):\n", path.c_str(), kWidth, kHeight,
                scene.m_stats.meshes);
    std::printf("  whole frame with label %8.2f ms median (best %.2f)\n", whole.median, whole.best);
    std::printf("  label alone            %8.2f ms median (best %.2f), %.1f %% of the frame\n",
                alone.median, alone.best, 100.0 * alone.median / whole.median);
}

}  // namespace

int main(int argc, char** argv) {
    std::string path;
    std::string small = std::string(ZEMVORA_SOURCE_DIR) + "/examples/still-life.3ds";
    std::string only;
    int frames = 5;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc)
            frames = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--small") == 0 && i + 1 < argc)
            small = argv[++i];
        else if (std::strcmp(argv[i], "--mode") == 0 && i + 1 < argc)
            only = argv[++i];
        else
            path = argv[i];
    }

    // The label's font needs the toolkit's fonts, which need no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char name[] = "bench_render";
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
    {
        Scene scene;
        if (!LoadBenchScene(path, scene)) return 1;
        PrintModes(api, scene, frames, only);
    }
    PrintLabelCost(api, small, frames * 4);
    return 0;
}
