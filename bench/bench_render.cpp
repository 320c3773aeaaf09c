// Frames per second of RenderScene on the large benchmark scene, at 800 x 600 in a headless
// Mesa context, in each display mode:
//   bench_render [SCENE.3ds] [--frames N]
// Without a scene it builds the benchmark scene in memory. Each frame ends with glFinish, so
// the time is the whole frame's drawing.
#include <algorithm>
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
#include "import3ds/Read3DS.h"
#include "view/SceneRenderer.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// One whole frame as the window draws it, without a label.
void DrawFrame(SceneRenderer& renderer, const FrameClock& clock) {
    if (renderer.RenderScene(kWidth, kHeight, clock).drawn) renderer.EndFrame(clock);
}

}  // namespace

int main(int argc, char** argv) {
    std::string path;
    int frames = 5;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc)
            frames = std::max(1, std::atoi(argv[++i]));
        else
            path = argv[i];
    }

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
            return 1;
        }
    }
    Scene scene;
    scene.ClearScene();
    if (Read3DS(*in, scene) != Read3dsResult::Read) {
        std::fprintf(stderr, "not a 3DS scene\n");
        return 1;
    }
    scene.m_settings.currentObject = 0;
    scene.CountScene();

    std::string error;
    std::unique_ptr<HeadlessGl> gl =
        HeadlessGl::Create(kWidth, kHeight, HeadlessGl::ColorBuffer::Bytes, error);
    if (!gl) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    OpenGlApi api(&HeadlessGl::ProcAddress);
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
    std::printf("%-8s %10s %10s %8s\n", "mode", "best ms", "median ms", "fps");
    const struct {
        const char* name;
        int32_t mode;
    } modes[] = {
        {"vertex", ModeVertex}, {"line", ModeLine}, {"flat", ModeFlat}, {"smooth", ModeSmooth}};
    for (const auto& m : modes) {
        view.m_nDisplayMode = m.mode;
        DrawFrame(renderer, clock);  // warm up
        std::vector<double> ms;
        for (int i = 0; i < frames; ++i) {
            const auto start = std::chrono::steady_clock::now();
            DrawFrame(renderer, clock);
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        }
        std::sort(ms.begin(), ms.end());
        const double median = ms[ms.size() / 2];
        std::printf("%-8s %10.1f %10.1f %8.2f\n", m.name, ms.front(), median, 1000.0 / median);
    }
    return 0;
}
