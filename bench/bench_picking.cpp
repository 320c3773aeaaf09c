// How long a click takes to find its object on the benchmark scene (2,000,000 triangles): picks
// at every 20th pixel each way of an 800 x 600 view, the scene fitted into it, from the default
// view point and through the scene's camera; prints the median and the slowest, in milliseconds,
// and how many hit an object.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/BenchScene.h"
#include "import3ds/Read3DS.h"
#include "view/FitWholeScene.h"
#include "view/Picking.h"

int main() {
    const std::vector<uint8_t> file = BuildBenchScene();
    Scene scene;
    InputStream in(file.data(), file.size());
    if (Read3DS(in, scene) != Read3dsResult::Read || scene.m_objects.empty()) {
        std::fprintf(stderr, "bench_picking: the benchmark scene did not import\n");
        return 1;
    }
    size_t triangles = 0;
    for (const SceneObject& o : scene.m_objects)
        triangles += o.meshes.size();
    constexpr int kWidth = 800, kHeight = 600;
    for (bool camera : {false, true}) {
        ViewState view;
        view.m_fAspect = static_cast<float>(kWidth) / kHeight;
        view.m_bDefaultView = !camera || scene.m_cameras.empty();
        scene.m_settings.currentCamera = camera && !scene.m_cameras.empty() ? 0 : -1;
        // The whole scene in the picture, so that most clicks land on it.
        FitWholeScene(scene, view);
        std::vector<double> times;
        int hits = 0;
        for (int y = 10; y < kHeight; y += 20)
            for (int x = 10; x < kWidth; x += 20) {
                const auto start = std::chrono::steady_clock::now();
                hits += PickObject(scene, view, kWidth, kHeight, x, y) >= 0;
                times.push_back(std::chrono::duration<double, std::milli>(
                                    std::chrono::steady_clock::now() - start)
                                    .count());
            }
        std::sort(times.begin(), times.end());
        std::printf("%s, %zu triangles: median %.1f ms, slowest %.1f ms, %d of %zu picks hit\n",
                    view.m_bDefaultView ? "default view point" : "camera", triangles,
                    times[times.size() / 2], times.back(), hits, times.size());
    }
    return 0;
}
