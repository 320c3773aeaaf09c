// The memory and speed of the undo history on the benchmark scene:
//   bench_history [--steps N]
// Imports the benchmark scene, makes N edits of every kind the panel and the view make (2,000
// by default, twice the history's limit), and prints what the history holds: its steps, its own
// count of bytes and the heap it really took, next to the scene's own size; then the time of an
// edit's step and of undoing and redoing every kept step, with a check that undoing all and
// redoing all gives back the same scene file bytes.
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchScene.h"
#include "history/EditHistory.h"
#include "history/StepLabels.h"
#include "import3ds/Read3DS.h"
#include "panel/PanelLayout.h"
#include "panel/SliderMapping.h"
#include "scene/SceneFile.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

size_t HeapInUse() {
    return mallinfo2().uordblks;
}

std::vector<uint8_t> ZmvBytes(const Scene& scene) {
    std::vector<uint8_t> bytes;
    OutputStream out(bytes);
    WriteScene(out, scene);
    return bytes;
}

size_t SceneOwnBytes(const Scene& scene) {
    size_t bytes = 0;
    for (const SceneObject& o : scene.m_objects)
        bytes += o.vertices.size() * sizeof(SceneVertex) + o.meshes.size() * sizeof(SceneMesh);
    return bytes;
}

int32_t Pick(size_t i, size_t count) {
    return static_cast<int32_t>(i % count);
}

// Edit number i: one of every kind in turn, on records spread over the scene.
void MakeEdit(size_t i, Scene& scene, EditHistory& history) {
    using namespace panel;
    static const int kMaterialSliders[] = {
        kShininess,    kTransparency, kAmbientRed,  kAmbientGreen,  kAmbientBlue, kDiffuseRed,
        kDiffuseGreen, kDiffuseBlue,  kSpecularRed, kSpecularGreen, kSpecularBlue};
    const int32_t object = Pick(i, scene.m_objects.size());
    const int position = static_cast<int>(i * 37 % 256);
    switch (i % 10) {
        case 0: {
            const int32_t m = Pick(i, scene.m_materials.size());
            const int id = kMaterialSliders[i % 11];
            const EditHistory::StepId drag =
                history.Begin(scene, {{MaterialRecord(m), steplabel::Slider(id)}});
            for (int k = 0; k < 20; ++k)  // the moves of one drag
                SetMaterialFromSlider(scene.m_materials[static_cast<size_t>(m)], id,
                                      (position + k) % 256);
            history.Commit(drag, scene);
            break;
        }
        case 1: {
            const int32_t l = Pick(i, scene.m_lights.size());
            history.Record(scene, {{LightRecord(l), steplabel::Slider(kLightRed)}}, [&] {
                SetLightFromSlider(scene.m_lights[static_cast<size_t>(l)], kLightRed, position);
            });
            break;
        }
        case 2:
            history.Record(scene, {{ObjectRecord(object), steplabel::kNoteText}}, [&] {
                scene.m_objects[static_cast<size_t>(object)].note =
                    "Note number " + std::to_string(i) + "\r\nwith a second line of text";
            });
            break;
        case 3:
            history.Record(scene, {{ObjectRecord(object), steplabel::kNotePosition}},
                           [&] { scene.m_objects[static_cast<size_t>(object)].noteX += 3; });
            break;
        case 4:
            history.Record(scene, {{ObjectRecord(object), steplabel::kSmoothFlat}}, [&] {
                int32_t& smooth = scene.m_objects[static_cast<size_t>(object)].smooth;
                smooth = !smooth;
            });
            break;
        case 5:
            history.Record(scene, {{ObjectRecord(object), steplabel::kApplyMaterial}}, [&] {
                const int32_t m = Pick(i / 10, scene.m_materials.size());
                SceneObject& o = scene.m_objects[static_cast<size_t>(object)];
                o.materialIndex = m;
                o.materialName = scene.m_materials[static_cast<size_t>(m)].name;
            });
            break;
        case 6:
            history.Record(scene, {{CameraRecord(0), steplabel::kCameraLens}},
                           [&] { scene.m_cameras[0].lens += 0.5f; });
            break;
        case 7:
            history.Record(scene, {{BackgroundRecord(), steplabel::kBackground}}, [&] {
                scene.m_settings.background = RGB8{static_cast<uint8_t>(position), 0, 0};
            });
            break;
        case 8:
            history.Record(scene, {{LabelFontRecord(), steplabel::kLabelFont}},
                           [&] { scene.m_settings.textFont.lfHeight = -10 - position % 20; });
            break;
        default:
            history.Record(scene, {{CameraRecord(0), steplabel::kCameraPosition}},
                           [&] { scene.m_cameras[0].posX += 0.5f; });
            break;
    }
}

}  // namespace

int main(int argc, char** argv) {
    size_t steps = 2000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--steps") == 0 && i + 1 < argc) {
            steps = std::strtoul(argv[++i], nullptr, 10);
        } else {
            std::fprintf(stderr, "usage: bench_history [--steps N]\n");
            return 2;
        }
    }

    const std::vector<uint8_t> file = BuildBenchScene();
    Scene scene;
    InputStream in(file.data(), file.size());
    if (Read3DS(in, scene) != Read3dsResult::Read || scene.m_objects.empty() ||
        scene.m_materials.empty() || scene.m_lights.empty() || scene.m_cameras.empty()) {
        std::fprintf(stderr, "bench_history: the benchmark scene did not import\n");
        return 1;
    }
    MakeFirstRecordsCurrent(scene);
    const size_t sceneBytes = SceneOwnBytes(scene);

    const size_t heapBefore = HeapInUse();
    EditHistory history;
    const Clock::time_point editStart = Clock::now();
    for (size_t i = 0; i < steps; ++i)
        MakeEdit(i, scene, history);
    const double editMs = MsSince(editStart);
    const size_t heapTaken = HeapInUse() - heapBefore;

    const std::vector<uint8_t> edited = ZmvBytes(scene);
    const size_t kept = history.UndoCount();
    const Clock::time_point undoStart = Clock::now();
    while (history.Undo(scene)) {
    }
    const double undoMs = MsSince(undoStart);
    const Clock::time_point redoStart = Clock::now();
    while (history.Redo(scene)) {
    }
    const double redoMs = MsSince(redoStart);
    const bool same = ZmvBytes(scene) == edited;

    std::printf("benchmark scene: %zu objects, %.1f MB of vertices and triangles\n",
                scene.m_objects.size(), static_cast<double>(sceneBytes) / 1e6);
    std::printf("edits made:      %zu, steps kept: %zu (limit %zu)\n", steps, kept,
                history.Limit());
    std::printf("history memory:  %zu bytes counted, %zu bytes of heap taken, %.0f bytes a step\n",
                history.MemoryBytes(), heapTaken,
                kept ? static_cast<double>(heapTaken) / static_cast<double>(kept) : 0.0);
    std::printf("                 %.4f%% of the scene's own size\n",
                100.0 * static_cast<double>(heapTaken) / static_cast<double>(sceneBytes));
    std::printf("time:            %.2f us an edit's step, undo all %.2f ms, redo all %.2f ms\n",
                1e3 * editMs / static_cast<double>(steps ? steps : 1), undoMs, redoMs);
    std::printf("undo all then redo all gives the same scene file bytes: %s\n",
                same ? "yes" : "NO");
    return same ? 0 : 1;
}
