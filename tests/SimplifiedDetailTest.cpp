// The frames drawn while the view moves: when they are simplified and from which level, the
// copies meshoptimizer makes and their memory, the worker that makes them while the scene is
// replaced, the renderer drawing them, and the frame log's lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>

#include "tests/RecordingGl.h"
#include "view/CheckedSimplifier.h"
#include "view/FaceRuns.h"
#include "view/FrameLog.h"
#include "view/MotionDetail.h"
#include "view/Navigation.h"
#include "view/SimplifiedScene.h"
#include "view/SmoothingNormals.h"

namespace {

constexpr int64_t kSecond = MotionDetail::kTicksPerSecond;

// A wavy terrain of columns x rows vertices, two triangles a square.
SceneObject Terrain(int columns, int rows) {
    SceneObject o;
    o.name = "Terrain";
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            o.vertices.push_back({static_cast<float>(c), static_cast<float>(r),
                                  static_cast<float>((r * 7 + c * 3) % 5) * 0.2f, 0, 0, 1});
    for (int r = 0; r + 1 < rows; ++r)
        for (int c = 0; c + 1 < columns; ++c) {
            const auto at = [&](int rr, int cc) {
                return static_cast<uint16_t>(rr * columns + cc);
            };
            o.meshes.push_back({at(r, c), at(r, c + 1), at(r + 1, c + 1), 0, 0, 0, 1});
            o.meshes.push_back({at(r, c), at(r + 1, c + 1), at(r + 1, c), 0, 0, 0, 1});
        }
    o.vertexCount = static_cast<int32_t>(o.vertices.size());
    o.meshCount = static_cast<int32_t>(o.meshes.size());
    return o;
}

ObjectSnapshot Snapshot(const SceneObject& o) {
    ObjectSnapshot s{{o.vertices.begin(), o.vertices.end()}, {}, {}};
    for (const SceneMesh& m : o.meshes)
        s.corners.insert(s.corners.end(), {m.a, m.b, m.c});
    return s;
}

Scene TwoTerrainsAndASpeck() {
    Scene scene;
    scene.ClearScene();
    scene.m_objects = {Terrain(64, 64), Terrain(40, 30), Terrain(3, 3)};
    return scene;
}

}  // namespace

TEST(MotionDetail, OnlySlowFullFramesOfAMovingViewAreSimplified) {
    const std::vector<int64_t> levels = {400000, 200000, 100000, 50000};
    struct Case {
        const char* what;
        int64_t fullTicks;  // the last full frame
        bool enabled, drag, play;
        int64_t sinceNudge;  // -1 for none
        int level;
    };
    const Case cases[] = {
        {"standing still", kSecond / 5, true, false, false, -1, -1},
        {"dragging", kSecond / 5, true, true, false, -1, 1},
        {"playing", kSecond / 5, true, false, true, -1, 1},
        {"a key repeated just now", kSecond / 5, true, false, false, kSecond / 10, 1},
        {"keys at rest for 0.3 s", kSecond / 5, true, false, false, kSecond * 3 / 10, -1},
        {"full frames fast enough", kSecond / 20, true, true, false, -1, -1},
        {"just too slow", kSecond / 20 + 1, true, true, false, -1, 0},
        {"switched off", kSecond / 5, false, true, false, -1, -1},
    };
    for (const Case& c : cases) {
        MotionDetail d;
        d.SetEnabled(c.enabled);
        ViewState view;
        view.m_bLeftDown = c.drag;
        view.m_bPlay = c.play;
        const int64_t now = 100 * kSecond;
        if (c.sinceNudge >= 0) d.Nudged(now - c.sinceNudge);
        // Two million triangles in fullTicks: a frame of 1/30 s takes two millions' share.
        d.FrameDrawn(false, 2000000, c.fullTicks);
        EXPECT_EQ(d.ChooseLevel(view, now, levels), c.level) << c.what;
        EXPECT_EQ(d.ChooseLevel(view, now, {}), -1) << c.what << ": no copies";
    }
}

TEST(MotionDetail, TheBudgetFollowsTheFramesAndTheFullFrameComesWhenTheViewStops) {
    MotionDetail d;
    ViewState view;
    view.m_bLeftDown = true;
    const std::vector<int64_t> levels = {400000, 200000, 100000, 50000};
    d.FrameDrawn(false, 2000000, kSecond / 5);  // 300,000 a thirtieth of a second
    EXPECT_EQ(d.TriangleBudget(), 333333);
    EXPECT_EQ(d.ChooseLevel(view, 0, levels), 1);
    d.FrameDrawn(true, 200000, kSecond / 15);  // slower than foreseen
    EXPECT_EQ(d.ChooseLevel(view, 0, levels), 2);
    d.FrameDrawn(true, 10000, kSecond);  // nothing fits: the coarsest
    EXPECT_EQ(d.ChooseLevel(view, 0, levels), 3);
    d.FrameDrawn(true, 1000, 0);  // too short to measure: the estimate stays
    EXPECT_EQ(d.TriangleBudget(), 333);
    EXPECT_EQ(d.LastFullTicks(), kSecond / 5);

    // While the button is down nothing is owed; released, the full frame is.
    EXPECT_FALSE(d.FullFrameOwed(view, 0));
    view.m_bLeftDown = false;
    EXPECT_TRUE(d.FullFrameOwed(view, 0));
    // Keys: owed once they have rested 0.3 s; a clock that went back counts as at rest.
    d.Nudged(10 * kSecond);
    EXPECT_EQ(d.RestsAt(), 10 * kSecond + MotionDetail::kIdleTicks);
    EXPECT_FALSE(d.FullFrameOwed(view, d.RestsAt() - 1));
    EXPECT_TRUE(d.FullFrameOwed(view, d.RestsAt()));
    EXPECT_TRUE(d.FullFrameOwed(view, 9 * kSecond));
    d.FrameDrawn(false, 2000000, kSecond / 5);
    EXPECT_FALSE(d.FullFrameOwed(view, d.RestsAt()));
    // A new scene is measured anew: its first frames are full.
    d.SceneReplaced();
    view.m_bPlay = true;
    EXPECT_EQ(d.ChooseLevel(view, 0, levels), -1);

    // The status bar gets every full frame's rate, and a moving frame's four times a second.
    EXPECT_TRUE(d.ShowsRate(true, 50 * kSecond));
    EXPECT_FALSE(d.ShowsRate(true, 50 * kSecond + kSecond / 5));
    EXPECT_TRUE(d.ShowsRate(false, 50 * kSecond + kSecond / 5));
    EXPECT_TRUE(d.ShowsRate(true, 50 * kSecond + kSecond / 2));
    EXPECT_TRUE(d.ShowsRate(true, kSecond));  // a clock that went back

    for (int key : {vk::kLeft, vk::kUp, vk::kRight, vk::kDown, vk::kComma, vk::kPeriod})
        EXPECT_TRUE(IsNavigationKey(key)) << key;
    for (int key : {vk::kTab, int('W'), int('P'), int('C'), 0})
        EXPECT_FALSE(IsNavigationKey(key)) << key;
}

TEST(SimplifiedCopies, LevelsHalveAndUseOnlyTheirOwnVertices) {
    const SceneObject terrain = Terrain(64, 64);  // 7,938 triangles
    const SimplifiedObject copy = SimplifyObject(Snapshot(terrain));
    ASSERT_EQ(copy.levels.size(), static_cast<size_t>(kDetailLevels));
    const int64_t triangles = static_cast<int64_t>(terrain.meshes.size());
    int64_t before = triangles;
    for (size_t level = 0; level < copy.levels.size(); ++level) {
        const int64_t now = copy.Triangles(level);
        EXPECT_LT(now, before) << level;
        EXPECT_LE(now, triangles / (4 << level) * 3 / 2 + 1) << level;
        EXPECT_EQ(copy.levels[level].size() % 3, 0u);
        before = now;
    }
    // Every vertex kept is used, every corner is in range, and each is one of the object's.
    std::vector<bool> used(copy.vertices.size(), false);
    for (const std::vector<uint16_t>& level : copy.levels)
        for (uint16_t corner : level) {
            ASSERT_LT(corner, copy.vertices.size());
            used[corner] = true;
        }
    EXPECT_EQ(std::count(used.begin(), used.end(), false), 0);
    for (const SceneVertex& v : copy.vertices)
        EXPECT_EQ(v.x, std::floor(v.x));  // a grid point, not a made-up one
    EXPECT_LE(copy.Bytes() * 4, OwnBytes(terrain.vertices.size(), terrain.meshes.size()));

    // Small objects get no copy; a cancelled one is left empty.
    EXPECT_TRUE(SimplifyObject(Snapshot(Terrain(10, 10))).levels.empty());
    EXPECT_TRUE(SimplifyObject(Snapshot(terrain), [] { return true; }).levels.empty());
}

namespace {

// Objects of the shapes real files bring that a simplifier may not expect. Each triangle has its
// own vertices in "unjoined", as a binary STL gives them before joining: 65,535 of them.
SceneObject AwkwardObject(const std::string& shape) {
    SceneObject o;
    o.name = shape;
    const auto vertex = [&o](float x, float y, float z) {
        o.vertices.push_back({x, y, z, 0, 0, 1});
        return static_cast<uint16_t>(o.vertices.size() - 1);
    };
    if (shape == "unjoined") {
        for (int t = 0; t < 65535 / 3; ++t) {
            const float x = static_cast<float>(t % 150), y = static_cast<float>(t / 150);
            const float z = static_cast<float>((7 * t) % 17) * 0.05f;
            if (t % 2) {
                o.meshes.push_back({vertex(x, y, z), vertex(x + 1, y, z), vertex(x + 1, y + 1, z)});
            } else {
                o.meshes.push_back({vertex(x, y, z), vertex(x + 1, y + 1, z), vertex(x, y + 1, z)});
            }
        }
    } else if (shape == "stl grid") {
        // A bumpy grid's squares from row 105 on, as a binary STL of it imports: corners joined
        // only where position and face normal agree, cut at 65,535 vertices. Its sloppy levels
        // fall below the next level's share of the object.
        std::map<std::array<float, 6>, uint16_t> joined;
        const auto at = [](int i, int j) {
            return std::array<float, 3>{i * 0.01f, j * 0.01f, 0.05f * ((7 * i + 13 * j) % 17) / 17};
        };
        for (int square = 105 * 1000;; ++square) {
            const int i = square / 1000, j = square % 1000;
            using Corners = std::array<std::array<float, 3>, 3>;
            for (const Corners& t : {Corners{at(i, j), at(i + 1, j + 1), at(i, j + 1)},
                                     Corners{at(i, j), at(i + 1, j), at(i + 1, j + 1)}}) {
                if (joined.size() + 3 > 65535) return o;
                const float u[3] = {t[1][0] - t[0][0], t[1][1] - t[0][1], t[1][2] - t[0][2]};
                const float w[3] = {t[2][0] - t[0][0], t[2][1] - t[0][1], t[2][2] - t[0][2]};
                const float n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                                    u[0] * w[1] - u[1] * w[0]};
                uint16_t corners[3];
                for (int k = 0; k < 3; ++k) {
                    const std::array<float, 6> key = {t[k][0], t[k][1], t[k][2], n[0], n[1], n[2]};
                    const auto found = joined.find(key);
                    corners[k] = found != joined.end()
                                     ? found->second
                                     : joined[key] = vertex(t[k][0], t[k][1], t[k][2]);
                }
                o.meshes.push_back({corners[0], corners[1], corners[2]});
            }
        }
    } else if (shape == "degenerate") {  // points and slivers along a line: nothing to keep
        for (int t = 0; t < 1000; ++t) {
            const uint16_t a = vertex(static_cast<float>(t), 0, 0);
            o.meshes.push_back({a, a, a});
            o.meshes.push_back({a, vertex(t + 0.5f, 0, 0), vertex(t + 0.75f, 0, 0)});
        }
    } else if (shape == "fan") {  // one vertex in every triangle
        const uint16_t hub = vertex(0, 0, 0);
        for (int t = 0; t <= 2000; ++t) {
            const double a = t * 0.003;
            vertex(static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a)), 0);
        }
        for (uint16_t t = 1; t <= 2000; ++t)
            o.meshes.push_back({hub, t, static_cast<uint16_t>(t + 1)});
    } else if (shape == "nan" || shape == "infinite") {
        o = Terrain(40, 40);
        o.vertices[77].z = shape == "nan" ? std::numeric_limits<float>::quiet_NaN()
                                          : std::numeric_limits<float>::infinity();
    } else {  // "1", "2", "3": that many triangles of a strip
        for (int t = 0; t < std::stoi(shape); ++t)
            o.meshes.push_back({vertex(static_cast<float>(t), 0, 0), vertex(t + 1.0f, 0, 0),
                                vertex(static_cast<float>(t), 1, 0)});
    }
    return o;
}

}  // namespace

TEST(SimplifiedCopies, ObjectsOfEveryAwkwardShapeGetASoundCopyOrNone) {
    struct Case {
        const char* shape;
        bool copied;  // whether the object gets a copy at all
    };
    const Case cases[] = {{"1", false},          {"2", false},       {"3", false},
                          {"unjoined", true},    {"stl grid", true}, {"fan", true},
                          {"degenerate", false}, {"nan", false},     {"infinite", false}};
    for (const Case& c : cases)
        for (bool twoMaterials : {false, true}) {
            SCOPED_TRACE(std::string(c.shape) + (twoMaterials ? " in two materials" : ""));
            Scene scene;
            scene.ClearScene();
            scene.m_materialNames = {"Red", "Blue"};
            scene.m_materials.resize(2);
            SceneObject o = AwkwardObject(c.shape);
            if (twoMaterials) {  // every third triangle in the second material
                FaceGroup blue{"Blue", {}};
                for (uint32_t face = 0; face < o.meshes.size(); face += 3)
                    blue.faces.push_back(face);
                o.faceGroups = {blue};
            }
            o.vertexCount = static_cast<int32_t>(o.vertices.size());
            o.meshCount = static_cast<int32_t>(o.meshes.size());
            scene.m_objects = {o};

            const SimplifiedObject copy = SimplifyObject(TakeSnapshot(o));
            ASSERT_EQ(!copy.levels.empty(), c.copied);
            size_t before = o.meshes.size() * 3;
            for (size_t level = 0; level < copy.levels.size(); ++level) {
                const std::vector<uint16_t>& corners = copy.levels[level];
                EXPECT_EQ(corners.size() % 3, 0u);
                EXPECT_LE(corners.size(), before);
                before = corners.size();
                for (uint16_t corner : corners)
                    ASSERT_LT(corner, copy.vertices.size());
                if (twoMaterials && !copy.runEnds.empty()) {
                    EXPECT_EQ(copy.runEnds[level].back(), corners.size());
                }
            }

            // Every level the frame policy may ask for is drawn from the copy, or the object
            // whole where it has none.
            SimplifiedScene copies;
            copies.Refresh(scene);
            copies.WaitIdle();
            copies.Collect();
            ASSERT_TRUE(copies.Ready());
            ViewState view;
            RecordingGl gl;
            gl.buffers = true;
            SceneRenderer renderer(gl, scene, view);
            const SteadyFrameClock clock;
            for (int level = 0; level < kDetailLevels; ++level) {
                renderer.SetSimplified(&copies, level);
                const DrawnFrame frame = renderer.RenderScene(320, 240, clock);
                renderer.EndFrame(clock);
                const size_t shown = std::min(static_cast<size_t>(level),
                                              std::max<size_t>(copy.levels.size(), 1) - 1);
                EXPECT_EQ(frame.triangles,
                          c.copied ? copy.Triangles(shown) : static_cast<int64_t>(o.meshes.size()))
                    << level;
            }
        }
}

TEST(SimplifiedCopies, TheSimplifierIsOnlyCalledWithWhatItsContractTakes) {
    const SceneObject terrain = Terrain(20, 20);
    const ObjectSnapshot snapshot = TakeSnapshot(terrain);
    const std::vector<uint32_t> corners(snapshot.corners.begin(), snapshot.corners.end());
    const std::vector<uint32_t> broken = {0, 1};
    const std::vector<uint32_t> beyond = {0, 1, 400};
    const float* positions = &snapshot.vertices[0].x;
    const size_t stride = sizeof(SceneVertex);
    std::vector<SceneVertex> nan = snapshot.vertices;
    nan[5].y = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        SimplifyCall call;
        bool taken;
    };
    const Case cases[] = {
        {"every target up to the whole", {&corners, positions, 400, stride, corners.size()}, true},
        {"a target above the whole", {&corners, positions, 400, stride, corners.size() + 3}, false},
        {"no indices", {nullptr, positions, 400, stride, 0}, false},
        {"a broken triangle", {&broken, positions, 400, stride, 0}, false},
        {"an index past the vertices", {&beyond, positions, 400, stride, 3}, false},
        {"a stride shorter than a position", {&corners, positions, 400, 8, 3}, false},
        {"a stride of part of a float", {&corners, positions, 400, stride + 2, 3}, false},
        {"a stride over 256 bytes", {&corners, positions, 1, 260, 3}, false},
        {"a position that is not a number", {&corners, &nan[0].x, 400, stride, 3}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SimplifierTakes(c.call), c.taken) << c.what;
        EXPECT_EQ(SimplifyChecked(c.call, 0.05f).has_value(), c.taken) << c.what;
    }
    // Every target from none to all: as many indices as asked for or fewer, all of the object's.
    for (size_t target = 0; target <= corners.size(); target += 3) {
        const std::optional<std::vector<uint32_t>> out =
            SimplifyChecked({&corners, positions, 400, stride, target}, 0.05f);
        ASSERT_TRUE(out.has_value()) << target;
        EXPECT_EQ(out->size() % 3, 0u);
        EXPECT_LE(out->size(), corners.size());
        if (target == corners.size()) {
            EXPECT_EQ(*out, corners);
        }
        for (uint32_t index : *out)
            ASSERT_LT(index, 400u);
    }
}

TEST(SimplifiedCopies, FittingDropsFineLevelsUntilAQuarterOfTheScene) {
    const SceneObject terrain = Terrain(64, 64);
    const SimplifiedObject copy = SimplifyObject(Snapshot(terrain));
    const size_t own = OwnBytes(terrain.vertices.size(), terrain.meshes.size());
    for (size_t limit : {own, copy.Bytes() * 4 - 4, size_t(400), size_t(0)}) {
        std::vector<SimplifiedObject> copies = {copy, SimplifiedObject{}};
        FitCopies(copies, limit);
        EXPECT_LE(copies[0].Bytes() * 4, limit) << limit;
        if (!copies[0].levels.empty()) {
            // The coarsest levels are the ones kept.
            EXPECT_EQ(copies[0].levels.back().size(), copy.levels.back().size()) << limit;
            EXPECT_LE(copies[0].vertices.size(), copy.vertices.size());
        }
    }
}

TEST(SimplifiedScene, TheWorkerCopiesOnlyWhatChangedAndDropsWhatAReplacedSceneAskedFor) {
    Scene scene = TwoTerrainsAndASpeck();
    std::atomic<int> told{0};
    SimplifiedScene copies([&told] { ++told; });
    // However short the slice, each call hands over an object: two calls for the two large ones.
    EXPECT_TRUE(copies.Refresh(scene, 1e-9));
    EXPECT_FALSE(copies.Refresh(scene, 1e-9));
    EXPECT_FALSE(copies.Ready());
    copies.WaitIdle();
    EXPECT_TRUE(copies.Collect());
    EXPECT_GE(told, 1);
    ASSERT_TRUE(copies.Ready());
    ASSERT_NE(copies.Copy(0), nullptr);
    ASSERT_NE(copies.Copy(1), nullptr);
    EXPECT_EQ(copies.Copy(2), nullptr);  // the speck is drawn whole
    const std::vector<int64_t>& levels = copies.LevelTriangles();
    ASSERT_EQ(levels.size(), static_cast<size_t>(kDetailLevels));
    EXPECT_EQ(levels[0], copies.Copy(0)->Triangles(0) + copies.Copy(1)->Triangles(0) + 8);
    EXPECT_TRUE(std::is_sorted(levels.rbegin(), levels.rend()));
    size_t own = 0;
    for (const SceneObject& o : scene.m_objects)
        own += OwnBytes(o.vertices.size(), o.meshes.size());
    EXPECT_LE(copies.Bytes() * 4, own);

    // Nothing changed: nothing to do. One object's lists replaced: only its copy is made anew.
    const uint64_t first = copies.Serial(0), second = copies.Serial(1);
    copies.Refresh(scene);
    EXPECT_TRUE(copies.Ready());
    scene.m_objects[1] = Terrain(50, 20);
    copies.Refresh(scene);
    EXPECT_FALSE(copies.Ready());
    copies.WaitIdle();
    copies.Collect();
    EXPECT_TRUE(copies.Ready());
    EXPECT_EQ(copies.Serial(0), first);
    EXPECT_NE(copies.Serial(1), second);

    // A scene replaced while its copies are made: what the worker made for it is never taken.
    copies.SceneReplaced();
    scene.m_objects = {Terrain(200, 200)};
    copies.Refresh(scene);
    copies.SceneReplaced();
    scene.m_objects = {Terrain(30, 30)};
    copies.Refresh(scene);
    copies.WaitIdle();
    copies.Collect();
    ASSERT_TRUE(copies.Ready());
    ASSERT_NE(copies.Copy(0), nullptr);
    EXPECT_LE(copies.Copy(0)->vertices.size(), 30u * 30u);
}

TEST(SimplifiedScene, TheRendererDrawsTheLevelAskedForAndCountsItsTriangles) {
    Scene scene = TwoTerrainsAndASpeck();
    ViewState view;
    view.m_bShowBox = view.m_bShowGrid = view.m_bShowLight = view.m_bShowText = false;
    RecordingGl gl;
    gl.buffers = true;
    SceneRenderer renderer(gl, scene, view);
    SimplifiedScene copies;
    copies.Refresh(scene);
    copies.WaitIdle();
    copies.Collect();
    const SteadyFrameClock clock;
    const int64_t whole = 7938 + 2262 + 8;
    for (DisplayMode mode : {ModeVertex, ModeLine, ModeFlat, ModeSmooth}) {
        view.m_nDisplayMode = mode;
        for (int level : {-1, 0, 3}) {
            renderer.SetSimplified(&copies, level);
            gl.calls.clear();
            const DrawnFrame frame = renderer.RenderScene(800, 600, clock);
            renderer.EndFrame(clock);
            EXPECT_EQ(frame.simplified, level >= 0);
            const int64_t expected = level < 0 ? whole
                                               : copies.Copy(0)->Triangles(size_t(level)) +
                                                     copies.Copy(1)->Triangles(size_t(level)) + 8;
            EXPECT_EQ(frame.triangles, expected) << static_cast<int>(mode) << " " << level;
            // Two copies from buffers, the speck between Begin and End.
            if (level >= 0) {
                EXPECT_EQ(gl.Count("DrawElements") + gl.Count("DrawArrays"), 2u);
                EXPECT_EQ(gl.Count("Begin"), 8u);
            }
        }
    }
    // The buffers of a replaced scene's copies go with the next frame, simplified or not.
    copies.SceneReplaced();
    renderer.SetSimplified(&copies, -1);
    for (int frame = 0; frame < 2; ++frame) {
        gl.calls.clear();
        renderer.RenderScene(800, 600, clock);
        renderer.EndFrame(clock);
        // Each of the two copies had a vertex buffer and more.
        if (frame == 0)
            EXPECT_GE(gl.Count("DeleteBuffer"), 4u);
        else
            EXPECT_EQ(gl.Count("DeleteBuffer"), 0u);
    }

    // Without buffer objects every frame is full.
    copies.Refresh(scene);
    copies.WaitIdle();
    copies.Collect();
    gl.buffers = false;
    renderer.SetSimplified(&copies, 0);
    const DrawnFrame frame = renderer.RenderScene(800, 600, clock);
    renderer.EndFrame(clock);
    EXPECT_FALSE(frame.simplified);
    EXPECT_EQ(frame.triangles, whole);
}

TEST(SimplifiedScene, AnObjectOfTwoMaterialsKeepsBothWhileMoving) {
    Scene scene;
    scene.ClearScene();
    scene.m_materialNames = {"Red", "Blue"};
    scene.m_materials.resize(2);
    scene.m_materials[0].diffuse = {128, 0, 0};
    scene.m_materials[1].diffuse = {0, 0, 128};
    SceneObject terrain = Terrain(64, 64);
    terrain.materialIndex = 0;
    // The squares from row 32 up in the second material: the group's run comes first.
    FaceGroup blue{"Blue", {}};
    for (uint32_t face = 32 * 126; face < 7938; ++face)
        blue.faces.push_back(face);
    terrain.faceGroups = {blue};
    scene.m_objects = {terrain};
    SimplifiedScene copies;
    copies.Refresh(scene);
    copies.WaitIdle();
    copies.Collect();
    const SimplifiedObject& copy = *copies.Copy(0);
    ASSERT_EQ(copy.runTriangles, (std::vector<size_t>{3906, 4032}));
    // Each run of each level holds only corners of its own half of the terrain.
    for (size_t level = 0; level < copy.levels.size(); ++level) {
        const size_t split = copy.runEnds[level][0];
        EXPECT_GT(split, 0u);
        EXPECT_LT(split, copy.levels[level].size());
        for (size_t c = 0; c < copy.levels[level].size(); ++c) {
            const float y = copy.vertices[copy.levels[level][c]].y;
            EXPECT_TRUE(c < split ? y >= 32 : y <= 32) << level << " " << c;
        }
    }
    ViewState view;
    view.m_bShowBox = view.m_bShowGrid = view.m_bShowLight = view.m_bShowText = 0;
    RecordingGl gl;
    gl.buffers = true;
    SceneRenderer renderer(gl, scene, view);
    renderer.SetSimplified(&copies, 1);
    const SteadyFrameClock clock;
    const DrawnFrame frame = renderer.RenderScene(800, 600, clock);
    renderer.EndFrame(clock);
    EXPECT_EQ(frame.triangles, copy.Triangles(1));
    EXPECT_EQ(gl.Count("DrawElements"), 2u);
    EXPECT_EQ(gl.Count("Materialfv", {GL_FRONT_AND_BACK, GL_DIFFUSE, 0, 0, 0.5, 0}), 1u);
    // The groups gone (Apply material), the next copy is made of one run.
    scene.m_objects[0].faceGroups.clear();
    scene.m_objects[0].faceGroups.shrink_to_fit();
    scene.m_objects[0].revision = NewObjectRevision();
    copies.Refresh(scene);
    copies.WaitIdle();
    copies.Collect();
    EXPECT_TRUE(copies.Copy(0)->runTriangles.empty());
}

TEST(FrameLog, LinesHoldTimeSinceStartFrameTimeTrianglesAndKind) {
    EXPECT_EQ(FrameLogLine(123456789, 2204999, 1936842, false), "12345.7\t220.5\t1936842\tfull\n");
    EXPECT_EQ(FrameLogLine(0, 0, 0, true), "0.0\t0.0\t0\tmoving\n");
    EXPECT_EQ(FrameLogLine(-15000, 50, 3, true), "-1.5\t0.0\t3\tmoving\n");
    const std::string path = std::string(ZEMVORA_BINARY_DIR) + "/frame-log-test.tsv";
    std::remove(path.c_str());
    std::string error;
    for (int run = 0; run < 2; ++run) {  // a second run appends
        FrameLog log;
        ASSERT_TRUE(log.Open(path, 1000, error));
        log.Add(10000, 20000, 7, run == 1);
    }
    std::FILE* f = std::fopen(path.c_str(), "r");
    ASSERT_NE(f, nullptr);
    char text[128] = {};
    const size_t n = std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    EXPECT_EQ(std::string(text, n), "1.0\t2.0\t7\tfull\n1.0\t2.0\t7\tmoving\n");
    FrameLog missing;
    EXPECT_FALSE(missing.Open(path + "/no/such/folder.tsv", 0, error));
    EXPECT_EQ(error, "Not a directory");
}

// Every cache of an object's drawing knows a change by the object's revision alone: an edit in
// place (the same lists, of the same sizes) or another object put in its place makes each cache's
// data anew, and an edit the caches do not draw from makes nothing anew.
TEST(CacheRevisions, EachCacheMakesItsDataAnewForANewRevisionOnly) {
    const struct {
        const char* what;
        std::function<void(SceneObject&)> change;
        bool anew;
    } cases[] = {
        {"a note", [](SceneObject& o) { o.note = "moved"; }, false},
        {"edited in place",
         [](SceneObject& o) {
             o.vertices[0].z += 1;
             o.meshes[0].nx = 1, o.meshes[0].nz = 0;
             o.revision = NewObjectRevision();
         },
         true},
        {"replaced in its place", [](SceneObject& o) { o = Terrain(40, 40); }, true},
    };
    const auto corners = [](const std::vector<CornerNormal>& c) {
        std::vector<float> values;
        for (const CornerNormal& n : c)
            values.insert(values.end(), {n.nx, n.ny, n.nz});
        return values;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Scene scene;
        scene.ClearScene();
        scene.m_objects = {Terrain(40, 40)};
        SceneObject& o = scene.m_objects[0];
        // Faces of no shared group, whose corners take the faces' normals, not the vertices'.
        for (size_t t = 0; t < o.meshes.size(); ++t)
            o.smoothingGroups.push_back(t % 2 ? 1 : 4);
        for (SceneVertex& v : o.vertices)
            v.nx = 1, v.nz = 0;
        FaceRunCache runs;
        SmoothingNormalCache normals;
        SimplifiedScene copies;
        ViewState view;
        RecordingGl gl;
        gl.buffers = true;
        SceneRenderer renderer(gl, scene, view);
        const uint64_t generation = runs.For(0, o).generation;
        const std::vector<float> before = corners(normals.For(0, o));
        copies.Refresh(scene);
        const uint64_t serial = copies.Serial(0);
        renderer.DrawObjects();
        gl.calls.clear();

        c.change(o);
        EXPECT_EQ(runs.For(0, o).generation != generation, c.anew);
        EXPECT_EQ(corners(normals.For(0, o)) != before, c.anew);
        copies.Refresh(scene);
        EXPECT_EQ(copies.Serial(0) != serial, c.anew);
        renderer.DrawObjects();
        EXPECT_EQ(gl.Count("BufferData") > 0, c.anew);
        copies.WaitIdle();
    }
}
