// Input that arrives while the view draws a slow frame of a large scene: a drag's moves become
// one frame, a drag released behind a slow frame gets exactly one frame of where it ended, keys are
// all applied in order with one frame for them, and a slow frame shows the busy cursor. A large
// binary STL, whose triangles keep vertices of their own, moves from its copies in the window.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "ZemvoraView.h"
#include "childimport/ForeignImport.h"
#include "commands/CommandIds.h"
#include "tests/GuiWindow.h"
#include "tests/ScriptedPrompts.h"
#include "view/FrameLog.h"

namespace {

// Eight terrains of 256 x 128 vertices: about 520,000 triangles.
Scene LargeScene() {
    Scene scene;
    scene.ClearScene();
    constexpr int kColumns = 256, kRows = 128;
    for (int k = 0; k < 8; ++k) {
        SceneObject o;
        o.name = "Terrain " + std::to_string(k);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                const float z = static_cast<float>(k) * 4.0f + static_cast<float>((r * c) % 7);
                o.vertices.push_back({static_cast<float>(c), static_cast<float>(r), z, 0, 0, 1});
            }
        for (int r = 0; r + 1 < kRows; ++r)
            for (int c = 0; c + 1 < kColumns; ++c) {
                const auto at = [&](int rr, int cc) { return uint16_t(rr * kColumns + cc); };
                o.meshes.push_back({at(r, c), at(r, c + 1), at(r + 1, c + 1), 0, 0, 0, 1});
                o.meshes.push_back({at(r, c), at(r + 1, c + 1), at(r + 1, c), 0, 0, 0, 1});
            }
        o.vertexCount = static_cast<int32_t>(o.vertices.size());
        o.meshCount = static_cast<int32_t>(o.meshes.size());
        o.maxX = kColumns, o.maxY = kRows, o.maxZ = 40;
        scene.m_objects.push_back(std::move(o));
    }
    scene.m_settings.maxX = kColumns, scene.m_settings.maxY = kRows, scene.m_settings.maxZ = 40;
    scene.m_settings.currentObject = 0;
    return scene;
}

struct LargeView {
    Scene scene = LargeScene();
    ScriptedPrompts prompts;
    CZemvoraView view{scene, prompts};
    int frames = 0;
    std::function<void()> onFrame;

    // simplified: whether frames may come from the copies while the view moves. Frames are
    // counted by the frame rate the view reports, which it reports for every full frame only.
    explicit LargeView(bool simplified = false) {
        if (!simplified) view.OnCommand(cmd::kSimplifyWhileMoving);
        view.SetFrameRateHandler([this](float) {
            ++frames;
            if (onFrame) onFrame();
        });
        view.resize(320, 240);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        EXPECT_TRUE(view.HasContext());
        Settle();
    }
    // Handles every waiting event and timer until nothing more is drawn.
    void Settle() {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
            QTest::qWait(20);
        }
    }
    // Input as the window system hands it over: waiting in the queue.
    void Post(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QCoreApplication::postEvent(
            &view, new QMouseEvent(type, QPointF(p), QPointF(view.mapToGlobal(p)), button, buttons,
                                   Qt::NoModifier));
    }
    void PostKey(int key) {
        QCoreApplication::postEvent(&view, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
    }
};

// A clock on which every reading is a tenth of a second after the one before: every full frame
// of any scene is slow on it.
class SlowClock final : public FrameClock {
public:
    int64_t Ticks() const override { return m_now += 1000000; }

private:
    mutable int64_t m_now = 0;
};

// The last field of every line of a frame log: full or moving.
std::vector<std::string> FrameKinds(const std::string& path) {
    std::vector<std::string> kinds;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        kinds.push_back(line.substr(line.rfind('\t') + 1));
    return kinds;
}

// A binary STL of a bumpy grid's squares, two triangles each, each triangle lifted by a height
// of its own, so that no two share a corner even after equal vertices are joined.
void WriteUnjoinedStl(const std::string& path, int columns, int rows) {
    std::ofstream out(path, std::ios::binary);
    const std::string header(80, ' ');
    out.write(header.data(), 80);
    const uint32_t count = static_cast<uint32_t>(columns * rows * 2);
    out.write(reinterpret_cast<const char*>(&count), 4);
    const auto corner = [](int i, int j) {
        return std::array<float, 3>{i * 0.01f, j * 0.01f, 0.05f * ((7 * i + 13 * j) % 17) / 17};
    };
    uint32_t written = 0;
    const auto triangle = [&](const std::array<std::array<float, 3>, 3>& p) {
        const float lift = static_cast<float>(++written % 1000) * 1e-4f;
        const float n[3] = {0, 0, 1};
        out.write(reinterpret_cast<const char*>(n), 12);
        for (std::array<float, 3> q : p) {
            q[2] += lift;
            out.write(reinterpret_cast<const char*>(q.data()), 12);
        }
        out.write("\0\0", 2);
    };
    for (int i = 0; i < columns; ++i)
        for (int j = 0; j < rows; ++j) {
            triangle({corner(i, j), corner(i + 1, j), corner(i + 1, j + 1)});
            triangle({corner(i, j), corner(i + 1, j + 1), corner(i, j + 1)});
        }
}

}  // namespace

TEST(GuiInput, ALargeStlOfUnjoinedTrianglesTurnsFromItsCopiesInTheWindow) {
    const std::string stl = std::string(ZEMVORA_BINARY_DIR) + "/bumpy-200000.stl";
    WriteUnjoinedStl(stl, 400, 250);  // 200,000 triangles
    GuiWindow w;
    ProcessForeignImportSettings().program = ZEMVORA_EXE;
    w.frame.LoadFromOutside(stl);
    ProcessForeignImportSettings() = ForeignImportSettings();
    size_t triangles = 0, vertices = 0;
    for (const SceneObject& o : w.frame.scene().m_objects) {
        triangles += o.meshes.size();
        vertices += o.vertices.size();
    }
    ASSERT_EQ(triangles, 200000u);
    EXPECT_EQ(vertices, 3 * triangles);  // no corner shared: objects cut at 65,535 vertices

    CZemvoraView& view = *w.frame.View();
    SlowClock clock;
    view.SetFrameClock(&clock);
    const std::string path = std::string(ZEMVORA_BINARY_DIR) + "/gui-stl-frame-log.tsv";
    std::remove(path.c_str());
    FrameLog log;
    std::string error;
    ASSERT_TRUE(log.Open(path, 0, error));
    view.SetFrameLog(&log);
    view.RedrawRequest();
    for (int i = 0; i < 3000 && !view.Copies().Ready(); ++i)
        QTest::qWait(10);
    ASSERT_TRUE(view.Copies().Ready());
    for (size_t i = 0; i < w.frame.scene().m_objects.size(); ++i)
        EXPECT_NE(view.Copies().Copy(i), nullptr) << i;

    // Turned by a drag: frames from the copies, then the full one after the release.
    const size_t seen = FrameKinds(path).size();
    const QPoint start(200, 150);
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, start);
    for (int step = 1; step <= 3; ++step) {
        QTest::mouseMove(&view, start + QPoint(15 * step, 5 * step));
        QTest::qWait(30);
    }
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, start + QPoint(45, 15));
    for (int i = 0; i < 5; ++i)
        QTest::qWait(30);
    const std::vector<std::string> kinds = FrameKinds(path);
    ASSERT_GT(kinds.size(), seen);
    EXPECT_GT(std::count(kinds.begin() + long(seen), kinds.end(), "moving"), 0);
    EXPECT_EQ(kinds.back(), "full");
    EXPECT_TRUE(w.frame.isVisible());
    view.SetFrameLog(nullptr);
    view.SetFrameClock(nullptr);
    w.frame.scene().m_bModified = false;
    std::remove(stl.c_str());
}

TEST(GuiInput, ASlowSceneMovesFromItsCopiesAndStandsStillInFull) {
    LargeView v(true);
    SlowClock clock;
    v.view.SetFrameClock(&clock);
    const std::string path = std::string(ZEMVORA_BINARY_DIR) + "/gui-frame-log.tsv";
    std::remove(path.c_str());
    FrameLog log;
    std::string error;
    ASSERT_TRUE(log.Open(path, 0, error));
    v.view.SetFrameLog(&log);
    // A full frame, slow on this clock, and the copies made meanwhile.
    v.view.RedrawRequest();
    for (int i = 0; i < 1000 && !v.view.Copies().Ready(); ++i)
        QTest::qWait(10);
    ASSERT_TRUE(v.view.Copies().Ready());

    // The kinds of the frames drawn since the last look: some from the copies, the last full.
    size_t seen = FrameKinds(path).size();
    const auto expectMovedThenFull = [&](bool moved, const char* what) {
        const std::vector<std::string> kinds = FrameKinds(path);
        ASSERT_GT(kinds.size(), seen) << what;
        EXPECT_EQ(std::count(kinds.begin() + long(seen), kinds.end(), "moving") > 0, moved) << what;
        EXPECT_EQ(kinds.back(), "full") << what;
        seen = kinds.size();
    };

    const QPoint start(100, 100);
    QTest::mousePress(&v.view, Qt::LeftButton, Qt::NoModifier, start);
    v.Post(QEvent::MouseMove, start + QPoint(10, 0), Qt::NoButton, Qt::LeftButton);
    v.Settle();
    const QImage moving = v.view.grabFramebuffer();
    v.Post(QEvent::MouseButtonRelease, start + QPoint(10, 0), Qt::LeftButton, Qt::NoButton);
    v.Settle();
    expectMovedThenFull(true, "drag");
    // The frame once the drag is over is the full one of the same position, as it always was.
    const QImage stopped = v.view.grabFramebuffer();
    EXPECT_FALSE(moving == stopped);
    v.view.RenderScene();
    EXPECT_TRUE(stopped == v.view.grabFramebuffer());
    seen = FrameKinds(path).size();

    // The wheel: frames from the copies, and the full one once it has rested.
    QWheelEvent turn(QPointF(50, 50), v.view.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&v.view, &turn);
    v.Settle();
    expectMovedThenFull(true, "wheel");

    // Switched off, a drag draws full frames.
    v.view.OnCommand(cmd::kSimplifyWhileMoving);
    EXPECT_EQ(v.view.IsCommandChecked(cmd::kSimplifyWhileMoving), std::optional<bool>(false));
    QTest::mousePress(&v.view, Qt::LeftButton, Qt::NoModifier, start);
    v.Post(QEvent::MouseMove, start + QPoint(20, 0), Qt::NoButton, Qt::LeftButton);
    v.Settle();
    QTest::mouseRelease(&v.view, Qt::LeftButton, Qt::NoModifier, start + QPoint(20, 0));
    v.Settle();
    expectMovedThenFull(false, "switched off");
    v.view.SetFrameLog(nullptr);
    v.view.SetFrameClock(nullptr);
}

TEST(GuiInput, ADragBehindASlowFrameDrawsItsEndOnceAfterTheRelease) {
    LargeView v;
    const QPoint start(100, 100);
    QTest::mousePress(&v.view, Qt::LeftButton, Qt::NoModifier, start);
    v.frames = 0;
    // While the first frame of the drag is drawn, the rest of it and the release arrive.
    bool arrived = false;
    v.onFrame = [&] {
        if (arrived) return;
        arrived = true;
        for (int i = 2; i <= 20; ++i)
            v.Post(QEvent::MouseMove, start + QPoint(2 * i, i), Qt::NoButton, Qt::LeftButton);
        v.Post(QEvent::MouseButtonRelease, start + QPoint(40, 20), Qt::LeftButton, Qt::NoButton);
    };
    v.Post(QEvent::MouseMove, start + QPoint(2, 1), Qt::NoButton, Qt::LeftButton);
    v.Settle();
    EXPECT_TRUE(arrived);
    // That first frame and one of where the drag ended; the positions between are skipped.
    EXPECT_EQ(v.frames, 2);
    // Every move was applied.
    EXPECT_EQ(v.scene.m_settings.dragX, 40.0f);
    EXPECT_EQ(v.scene.m_settings.dragY, 20.0f);
    EXPECT_FALSE(v.view.state().m_bLeftDown);
    const QImage shown = v.view.grabFramebuffer();
    v.view.RenderScene();
    EXPECT_TRUE(shown == v.view.grabFramebuffer());
}

TEST(GuiInput, AQuickFlickChangesThePicture) {
    LargeView v;
    const QImage before = v.view.grabFramebuffer();
    v.frames = 0;
    // Press, move and release arrive together, as a quick flick of the mouse hands them over.
    const QPoint start(100, 100);
    v.Post(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    v.Post(QEvent::MouseMove, start + QPoint(40, 0), Qt::NoButton, Qt::LeftButton);
    v.Post(QEvent::MouseButtonRelease, start + QPoint(40, 0), Qt::LeftButton, Qt::NoButton);
    v.Settle();
    EXPECT_EQ(v.scene.m_settings.dragX, 40.0f);
    EXPECT_EQ(v.frames, 1);
    EXPECT_FALSE(before == v.view.grabFramebuffer());
}

TEST(GuiInput, MovesThatWaitedBecomeOneFrameAtTheLatestPosition) {
    LargeView v;
    const QPoint start(50, 50);
    QTest::mousePress(&v.view, Qt::LeftButton, Qt::NoModifier, start);
    v.frames = 0;
    for (int i = 1; i <= 30; ++i)
        v.Post(QEvent::MouseMove, start + QPoint(i, 0), Qt::NoButton, Qt::LeftButton);
    v.Settle();
    EXPECT_EQ(v.frames, 1);
    EXPECT_EQ(v.scene.m_settings.dragX, 30.0f);
    // The frame shown is that of the latest position: drawing it again changes nothing.
    const QImage shown = v.view.grabFramebuffer();
    v.view.RenderScene();
    EXPECT_TRUE(shown == v.view.grabFramebuffer());
    QTest::mouseRelease(&v.view, Qt::LeftButton, Qt::NoModifier, start + QPoint(30, 0));
}

TEST(GuiInput, KeysThatWaitedAreAllAppliedInOrderWithOneFrame) {
    LargeView v;
    v.view.setFocus();
    v.frames = 0;
    // Line, vertex, flat; the view point reset; top view and back; zoom out twice.
    for (int key :
         {Qt::Key_W, Qt::Key_V, Qt::Key_F, Qt::Key_C, Qt::Key_C, Qt::Key_Comma, Qt::Key_Comma})
        v.PostKey(key);
    const float fov = v.view.state().m_fFovY;
    v.Settle();
    EXPECT_EQ(v.view.state().m_nDisplayMode, ModeFlat);
    EXPECT_EQ(v.view.state().m_nProjection, ProjPerspective);
    EXPECT_EQ(v.view.state().m_fFovY, fov + 1.0f);
    EXPECT_EQ(v.frames, 1);
    // Play toggled by a key is on at once, and off again by the next.
    v.PostKey(Qt::Key_P);
    v.PostKey(Qt::Key_P);
    QCoreApplication::sendPostedEvents(&v.view);
    EXPECT_FALSE(v.view.state().m_bPlay);
    EXPECT_FALSE(v.view.IsPlayTimerActive());
}

TEST(GuiInput, ASlowFrameShowsTheBusyCursorWhileItIsDrawn) {
    LargeView v;
    bool busy = false;
    v.onFrame = [&] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        busy = cursor && cursor->shape() == Qt::BusyCursor;
    };
    v.view.state().m_nFrameTicks = 4000000;  // the last frame took 0.4 s
    v.view.RenderScene();
    EXPECT_TRUE(busy);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    v.view.state().m_nFrameTicks = 1000000;
    v.view.RenderScene();
    EXPECT_FALSE(busy);
}
