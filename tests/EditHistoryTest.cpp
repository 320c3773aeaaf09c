// The edit history: every kind of edit undone and redone to the exact bytes of the scene file,
// what makes one step, what is never a step, the limit, the memory, and records that are gone.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "commands/DocumentCommands.h"
#include "commands/ImportCommand.h"
#include "history/ApplyMaterialEdit.h"
#include "history/EditHistory.h"
#include "history/StepLabels.h"
#include "history/ViewEditSteps.h"
#include "panel/PanelLayout.h"
#include "panel/SliderMapping.h"
#include "scene/SceneCheck.h"
#include "scene/SceneFile.h"
#include "tests/ScriptedPrompts.h"
#include "tests/TestFiles.h"
#include "view/Navigation.h"
#include "view/WheelZoom.h"

using namespace panel;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ZmvBytes(const Scene& scene) {
    Bytes bytes;
    OutputStream out(bytes);
    WriteScene(out, scene);
    return bytes;
}

SceneObject MakeObject(const std::string& name, int vertices) {
    SceneObject o;
    o.name = name;
    o.vertices.resize(static_cast<size_t>(vertices));
    for (int i = 0; i < vertices; ++i)
        o.vertices[static_cast<size_t>(i)].x = static_cast<float>(i);
    o.vertexCount = vertices;
    if (vertices >= 3) {
        o.meshes.push_back(SceneMesh{0, 1, 2, 0, 0, 0, 1});
        o.meshCount = 1;
    }
    o.noteX = 100;
    o.noteY = 50;
    o.note = "a note";
    return o;
}

// A scene with two of every record, looked at through its first camera.
struct Edited {
    Scene scene;
    ViewState view;
    EditHistory history;
    ViewEditSteps viewSteps;

    explicit Edited(int vertices = 4) {
        for (const char* name : {"Stone", "Glass"}) {
            SceneMaterial m;
            m.name = name;
            m.diffuse = RGB8{10, 20, 30};
            m.shininess = 0.25f;
            m.transparency = 1.0f;
            scene.m_materials.push_back(m);
            scene.m_materialNames.push_back(name);
        }
        for (const char* name : {"Sun", "Fill"}) {
            SceneLight l;
            l.name = name;
            l.color[0] = l.color[1] = l.color[2] = 0.5f;
            l.color24 = RGB8{127, 127, 127};
            l.on = 1;
            scene.m_lights.push_back(l);
        }
        for (const char* name : {"Front", "Side"}) {
            SceneCamera c;
            c.name = name;
            c.posX = 1, c.posY = 2, c.posZ = 3, c.targetX = 4, c.lens = 35;
            scene.m_cameras.push_back(c);
        }
        scene.m_objects.push_back(MakeObject("Floor", vertices));
        scene.m_objects.push_back(MakeObject("Ball", vertices));
        scene.m_objects[0].materialIndex = 0;
        scene.m_objects[0].materialName = "Stone";
        scene.m_settings.currentObject = 1;
        scene.m_settings.currentCamera = 0;
        view.m_bDefaultView = false;
    }

    // A key held down: its press, count - 1 auto-repeats, its release.
    void HoldKey(int key, int count) {
        for (int i = 0; i < count; ++i) {
            viewSteps.KeyDown(key, i > 0, scene, view, history);
            OnKeyDown(key, scene, view);
            if (i + 1 < count) viewSteps.KeyUp(key, true, scene, history);
        }
        viewSteps.KeyUp(key, false, scene, history);
    }
    void LeftDown(int x, int y) {
        OnLeftButtonDown(x, y, scene, view);
        viewSteps.ButtonDown(scene, view, history);
    }
    void LeftUp() {
        OnLeftButtonUp(view);
        viewSteps.ButtonUp(scene, view, history);
    }
    void RightDown(int x, int y) {
        OnRightButtonDown(x, y, view);
        viewSteps.ButtonDown(scene, view, history);
    }
    void RightUp() {
        OnRightButtonUp(view);
        viewSteps.ButtonUp(scene, view, history);
    }
    void Move(int x, int y) { OnMouseMove(x, y, scene, view); }
};

struct EditKind {
    std::string name;  // what the Edit menu calls the step
    std::function<void(Edited&)> edit;
};

// One moment's edit of one record, as the panel makes it.
EditKind PanelEdit(const std::string& name, RecordRef ref, std::function<void(Scene&)> change) {
    return {name, [name, ref, change](Edited& e) {
                e.history.Record(e.scene, {{ref, name}}, [&] { change(e.scene); });
            }};
}

// A slider drag through several positions, opened and closed as the panel does.
EditKind SliderDrag(int id) {
    return {steplabel::Slider(id), [id](Edited& e) {
                const RecordRef ref = IsLightSlider(id) ? LightRecord(1) : MaterialRecord(1);
                const EditHistory::StepId step =
                    e.history.Begin(e.scene, {{ref, steplabel::Slider(id)}});
                for (int position : {3, 200, 77}) {
                    if (IsLightSlider(id))
                        SetLightFromSlider(e.scene.m_lights[1], id, position);
                    else
                        SetMaterialFromSlider(e.scene.m_materials[1], id, position);
                }
                e.history.Commit(step, e.scene);
            }};
}

std::vector<EditKind> EveryKindOfEdit() {
    std::vector<EditKind> kinds;
    for (int id : {kShininess, kTransparency, kAmbientRed, kAmbientGreen, kAmbientBlue, kDiffuseRed,
                   kDiffuseGreen, kDiffuseBlue, kSpecularRed, kSpecularGreen, kSpecularBlue,
                   kLightRed, kLightGreen, kLightBlue})
        kinds.push_back(SliderDrag(id));
    kinds.push_back(
        {"Apply material", [](Edited& e) { ApplyMaterialToObject(e.scene, e.history, 1, 1); }});
    kinds.push_back(
        PanelEdit("Smooth/Flat", ObjectRecord(1), [](Scene& s) { s.m_objects[1].smooth = 0; }));
    kinds.push_back(
        PanelEdit("Light On/Off", LightRecord(0), [](Scene& s) { s.m_lights[0].on = 0; }));
    kinds.push_back(PanelEdit("Current camera", CurrentCameraRecord(),
                              [](Scene& s) { s.m_settings.currentCamera = 1; }));
    kinds.push_back(PanelEdit("Note text", ObjectRecord(1), [](Scene& s) {
        s.m_objects[1].note = "A longer note\r\nthat no string keeps in place";
    }));
    kinds.push_back(PanelEdit("Note color", ObjectRecord(1), [](Scene& s) {
        s.m_objects[1].noteColor = RGB8{1, 2, 3};
    }));
    kinds.push_back(PanelEdit("Label font", LabelFontRecord(), [](Scene& s) {
        s.m_settings.textFont.lfFaceName = "DejaVu Serif";
        s.m_settings.textFont.lfItalic = 1;
    }));
    kinds.push_back(PanelEdit("Background color", BackgroundRecord(), [](Scene& s) {
        s.m_settings.background = RGB8{4, 5, 6};
    }));
    kinds.push_back({"Note position", [](Edited& e) {
                         e.LeftDown(102, 52);  // on the handle
                         e.Move(130, 70);
                         e.Move(160, 40);
                         e.LeftUp();
                     }});
    kinds.push_back({"Camera lens", [](Edited& e) { e.HoldKey(vk::kComma, 6); }});
    kinds.push_back({"Camera lens", [](Edited& e) { e.HoldKey(vk::kPeriod, 2); }});
    kinds.push_back({"Camera lens", [](Edited& e) {
                         e.viewSteps.WheelTurned(e.scene, e.view, e.history,
                                                 [&] { OnWheelNotches(2, e.scene, e.view); });
                     }});
    kinds.push_back({"Camera position", [](Edited& e) { e.HoldKey(vk::kUp, 4); }});
    kinds.push_back({"Camera position", [](Edited& e) { e.HoldKey(vk::kLeft, 1); }});
    kinds.push_back({"Camera lens", [](Edited& e) {
                         e.RightDown(10, 10);
                         e.Move(40, 10);
                         e.Move(25, 12);
                         e.RightUp();
                     }});
    return kinds;
}

}  // namespace

TEST(EditHistory, EveryKindOfEditIsUndoneAndRedoneToTheExactBytes) {
    for (const EditKind& kind : EveryKindOfEdit()) {
        SCOPED_TRACE(kind.name);
        Edited e;
        const Bytes before = ZmvBytes(e.scene);
        kind.edit(e);
        const Bytes after = ZmvBytes(e.scene);
        ASSERT_NE(after, before);
        ASSERT_EQ(e.history.UndoCount(), 1u);  // a whole drag or held key is one step
        EXPECT_EQ(e.history.UndoName(), kind.name);
        EXPECT_FALSE(e.history.CanRedo());

        e.scene.m_bModified = false;
        EXPECT_TRUE(e.history.Undo(e.scene));
        EXPECT_EQ(ZmvBytes(e.scene), before);
        EXPECT_TRUE(e.scene.m_bModified);
        EXPECT_FALSE(e.history.CanUndo());
        EXPECT_EQ(e.history.RedoName(), kind.name);

        e.scene.m_bModified = false;
        EXPECT_TRUE(e.history.Redo(e.scene));
        EXPECT_EQ(ZmvBytes(e.scene), after);
        EXPECT_TRUE(e.scene.m_bModified);
        EXPECT_EQ(e.history.UndoName(), kind.name);
        EXPECT_EQ(SceneRuleBroken(e.scene), "");
    }
}

// The whole object in one material: its face groups go in the same step and come back with its
// undo, as the scene file's bytes show.
TEST(EditHistory, ApplyingAMaterialDropsTheFaceGroupsInTheSameStep) {
    const struct {
        bool groups;
        int32_t material;
        bool step;
    } cases[] = {{true, 1, true}, {true, 0, true}, {false, 1, true}, {false, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.groups << " " << c.material);
        Edited e(4);
        SceneObject& floor = e.scene.m_objects[0];  // in material 0 already
        floor.meshes.push_back(SceneMesh{1, 2, 3, 0, 0, 0, 1});
        floor.meshCount = 2;
        if (c.groups) floor.faceGroups = {{"Glass", {1}}, {"Stone", {0}}};
        const Bytes before = ZmvBytes(e.scene);
        EXPECT_TRUE(ApplyMaterialToObject(e.scene, e.history, 0, c.material));
        ASSERT_EQ(e.history.UndoCount(), c.step ? 1u : 0u);
        if (!c.step) continue;
        const Bytes after = ZmvBytes(e.scene);
        EXPECT_EQ(e.history.UndoName(), "Apply material");
        EXPECT_TRUE(floor.faceGroups.empty());
        EXPECT_EQ(floor.materialIndex, c.material);
        ASSERT_TRUE(e.history.Undo(e.scene));
        EXPECT_EQ(ZmvBytes(e.scene), before);
        ASSERT_TRUE(e.history.Redo(e.scene));
        EXPECT_EQ(ZmvBytes(e.scene), after);
        EXPECT_EQ(SceneRuleBroken(e.scene), "");
    }
    Edited e;
    EXPECT_FALSE(ApplyMaterialToObject(e.scene, e.history, 0, 2));
    EXPECT_FALSE(ApplyMaterialToObject(e.scene, e.history, 2, 0));
    // Groups naming triangles an object does not have are not put back.
    const RecordState groups = std::vector<FaceGroup>{{"Glass", {0}}, {"Stone", {1}}};
    Scene one;
    one.m_objects.push_back(MakeObject("Only", 3));
    EXPECT_FALSE(RestoreRecord(one, FaceGroupsRecord(0), groups));
    EXPECT_TRUE(one.m_objects[0].faceGroups.empty());
}

TEST(EditHistory, StepsGoBackAndForthInOrderAndANewStepEndsRedo) {
    Edited e;
    std::vector<Bytes> states{ZmvBytes(e.scene)};
    const std::vector<EditKind> kinds = EveryKindOfEdit();
    for (const EditKind& kind : kinds) {
        kind.edit(e);
        states.push_back(ZmvBytes(e.scene));
    }
    ASSERT_EQ(e.history.UndoCount(), kinds.size());
    for (size_t i = kinds.size(); i-- > 0;) {
        EXPECT_EQ(e.history.UndoName(), kinds[i].name);
        ASSERT_TRUE(e.history.Undo(e.scene));
        EXPECT_EQ(ZmvBytes(e.scene), states[i]) << kinds[i].name;
    }
    EXPECT_FALSE(e.history.Undo(e.scene));
    for (size_t i = 0; i < 3; ++i)
        ASSERT_TRUE(e.history.Redo(e.scene));
    EXPECT_EQ(ZmvBytes(e.scene), states[3]);

    // A new edit: what was undone after it can no longer come back.
    e.history.Record(e.scene, {{BackgroundRecord(), "Background color"}}, [&] {
        e.scene.m_settings.background = RGB8{9, 9, 9};
    });
    EXPECT_FALSE(e.history.CanRedo());
    EXPECT_FALSE(e.history.Redo(e.scene));
    EXPECT_EQ(e.history.UndoCount(), 4u);
}

TEST(EditHistory, NothingChangedIsNoStepAndNothingToUndoChangesNothing) {
    Edited e;
    int changes = 0;
    e.history.SetChangeHandler([&changes] { ++changes; });
    // A drag let go where it started, a question answered the same, keys at no camera.
    const EditHistory::StepId drag = e.history.Begin(e.scene, {{MaterialRecord(0), "Shininess"}});
    SetMaterialFromSlider(e.scene.m_materials[0], kShininess, 200);
    SetMaterialFromSlider(e.scene.m_materials[0], kShininess, 63);
    e.scene.m_materials[0].shininess = 0.25f;
    e.history.Commit(drag, e.scene);
    e.history.Record(e.scene, {{ObjectRecord(1), "Smooth/Flat"}},
                     [&] { e.scene.m_objects[1].smooth = 1; });
    e.view.m_bDefaultView = true;
    e.HoldKey(vk::kComma, 3);
    e.HoldKey(vk::kUp, 3);
    e.RightDown(0, 0);
    e.Move(50, 0);
    e.RightUp();
    EXPECT_EQ(e.view.m_fFovY, 25.0f + 1.5f + 10.0f);  // the view's own angle changed
    EXPECT_FALSE(e.history.CanUndo());
    EXPECT_EQ(changes, 0);

    e.scene.m_bModified = false;
    EXPECT_FALSE(e.history.Undo(e.scene));
    EXPECT_FALSE(e.history.Redo(e.scene));
    EXPECT_FALSE(e.scene.m_bModified);
    EXPECT_EQ(e.history.UndoName(), "");
    EXPECT_EQ(UndoItemText(e.history.UndoName()), "&Undo");
    EXPECT_EQ(RedoItemText(""), "&Redo");
    EXPECT_EQ(UndoItemText("Diffuse red"), "&Undo Diffuse red");
    EXPECT_EQ(RedoItemText("Note text"), "&Redo Note text");
}

TEST(EditHistory, TurningSelectingAndTheViewsOwnStateAreNoSteps) {
    Edited e;
    e.LeftDown(300, 300);  // not on the note's handle: turns the scene
    e.Move(340, 320);
    e.LeftUp();
    EXPECT_NE(e.scene.m_settings.dragX, 0.0f);
    e.HoldKey(vk::kTab, 1);
    e.HoldKey('R', 1);
    e.HoldKey('C', 1);
    e.HoldKey('G', 2);
    // The wheel at the default view point zooms the view, not a record.
    e.view.m_bDefaultView = true;
    e.viewSteps.WheelTurned(e.scene, e.view, e.history,
                            [&] { OnWheelNotches(1, e.scene, e.view); });
    EXPECT_FALSE(e.history.CanUndo());
}

TEST(EditHistory, HeldKeysAndDragsAreOneStepEach) {
    Edited e;
    // Auto-repeats come with their own releases; only the last release ends the step.
    e.HoldKey(vk::kComma, 10);
    EXPECT_EQ(e.scene.m_cameras[0].lens, 40.0f);
    e.HoldKey(vk::kComma, 2);  // pressed again: a step of its own
    e.HoldKey(vk::kRight, 3);
    ASSERT_EQ(e.history.UndoCount(), 3u);
    EXPECT_EQ(e.history.UndoName(), "Camera position");
    e.history.Undo(e.scene);
    EXPECT_EQ(e.scene.m_cameras[0].posX, 1.0f);
    e.history.Undo(e.scene);
    EXPECT_EQ(e.scene.m_cameras[0].lens, 40.0f);
    e.history.Undo(e.scene);
    EXPECT_EQ(e.scene.m_cameras[0].lens, 35.0f);

    // A drag with both buttons is one step from the first press to the last release.
    Edited b;
    b.LeftDown(101, 51);
    b.Move(111, 61);
    b.RightDown(111, 61);
    b.Move(121, 61);
    b.LeftUp();
    b.Move(131, 61);
    b.RightUp();
    ASSERT_EQ(b.history.UndoCount(), 1u);
    EXPECT_EQ(b.history.UndoName(), "Note position and Camera lens");
    EXPECT_EQ(b.scene.m_objects[1].noteX, 120);
    EXPECT_EQ(b.scene.m_cameras[0].lens, 35.0f + 4.0f);
    b.history.Undo(b.scene);
    EXPECT_EQ(b.scene.m_objects[1].noteX, 100);
    EXPECT_EQ(b.scene.m_cameras[0].lens, 35.0f);

    // The view losing the keyboard ends a held key's step.
    Edited k;
    k.viewSteps.KeyDown(vk::kDown, false, k.scene, k.view, k.history);
    OnKeyDown(vk::kDown, k.scene, k.view);
    k.viewSteps.KeyboardLost(k.scene, k.history);
    EXPECT_EQ(k.history.UndoCount(), 1u);
}

TEST(EditHistory, UndoDuringADragKeepsRecordingTheDrag) {
    Edited e;
    e.history.Record(e.scene, {{BackgroundRecord(), "Background color"}}, [&] {
        e.scene.m_settings.background = RGB8{1, 1, 1};
    });
    const EditHistory::StepId drag = e.history.Begin(e.scene, {{MaterialRecord(0), "Diffuse red"}});
    SetMaterialFromSlider(e.scene.m_materials[0], kDiffuseRed, 50);
    // Undo while the thumb is held: the drag so far is a step, and undone.
    EXPECT_TRUE(e.history.Undo(e.scene));
    EXPECT_EQ(e.scene.m_materials[0].diffuse.red, 10);
    EXPECT_EQ(e.scene.m_settings.background, (RGB8{1, 1, 1}));
    EXPECT_TRUE(e.history.IsOpen(drag));
    SetMaterialFromSlider(e.scene.m_materials[0], kDiffuseRed, 60);
    e.history.Commit(drag, e.scene);
    EXPECT_EQ(e.history.UndoName(), "Diffuse red");
    EXPECT_FALSE(e.history.CanRedo());
    e.history.Undo(e.scene);
    EXPECT_EQ(e.scene.m_materials[0].diffuse.red, 10);
    e.history.Undo(e.scene);
    EXPECT_EQ(e.scene.m_settings.background, (RGB8{127, 127, 127}));

    // A late release of a step that another one closed adds nothing.
    const EditHistory::StepId first = e.history.Begin(e.scene, {{LightRecord(0), "Light red"}});
    const EditHistory::StepId second = e.history.Begin(e.scene, {{LightRecord(1), "Light red"}});
    e.scene.m_lights[1].on = 0;
    e.history.Commit(first, e.scene);
    EXPECT_TRUE(e.history.IsOpen(second));
    e.history.Commit(second, e.scene);
    EXPECT_EQ(e.history.UndoCount(), 1u);
}

TEST(EditHistory, KeepsTheLastThousandSteps) {
    Edited e;
    EXPECT_EQ(e.history.Limit(), 1000u);
    for (int i = 1; i <= 1005; ++i)
        e.history.Record(e.scene, {{CameraRecord(0), "Camera lens"}},
                         [&] { e.scene.m_cameras[0].lens = static_cast<float>(i); });
    EXPECT_EQ(e.history.UndoCount(), 1000u);
    while (e.history.Undo(e.scene)) {
    }
    EXPECT_EQ(e.scene.m_cameras[0].lens, 5.0f);  // the oldest five are gone
    EXPECT_EQ(e.history.RedoCount(), 1000u);

    EditHistory small(2);
    for (int i = 0; i < 3; ++i)
        small.Record(e.scene, {{CameraRecord(0), "Camera lens"}},
                     [&] { e.scene.m_cameras[0].lens += 1; });
    EXPECT_EQ(small.UndoCount(), 2u);
}

TEST(EditHistory, MemoryHoldsTheChangedRecordsNeverMeshes) {
    Edited small(3);
    Edited large(200000);
    for (Edited* e : {&small, &large}) {
        for (const EditKind& kind : EveryKindOfEdit())
            kind.edit(*e);
    }
    EXPECT_EQ(small.history.MemoryBytes(), large.history.MemoryBytes());
    const size_t vertexBytes = 200000 * sizeof(SceneVertex);
    EXPECT_LT(large.history.MemoryBytes(), vertexBytes / 10);

    // Grows with the steps up to the limit, then stays.
    Edited e;
    auto bytesAfter = [&e](int steps) {
        for (int i = 0; i < steps; ++i)
            e.history.Record(e.scene, {{ObjectRecord(1), "Note text"}}, [&] {
                e.scene.m_objects[1].note = "note number " + std::to_string(i) + " of many steps";
            });
        return e.history.MemoryBytes();
    };
    const size_t ten = bytesAfter(10);
    const size_t thousand = bytesAfter(990);
    const size_t more = bytesAfter(500);
    EXPECT_GT(thousand, ten);
    EXPECT_LE(more, thousand + thousand / 100);
    e.history.Clear();
    EXPECT_FALSE(e.history.CanUndo());
    EXPECT_LT(e.history.MemoryBytes(), ten);
}

TEST(EditHistory, RecordsThatAreGoneAreLeftAlone) {
    Edited e;
    EXPECT_FALSE(CaptureRecord(e.scene, MaterialRecord(2)));
    EXPECT_FALSE(CaptureRecord(e.scene, ObjectRecord(-1)));
    EXPECT_FALSE(CaptureRecord(e.scene, CameraRecord(7)));
    // A step on a record that does not exist is no step.
    e.history.Record(e.scene, {{LightRecord(5), "Light On/Off"}}, [] {});
    EXPECT_FALSE(e.history.CanUndo());

    // States put back into a scene whose lists are shorter, or of the wrong kind.
    const RecordState object = *CaptureRecord(e.scene, ObjectRecord(0));
    const RecordState camera = *CaptureRecord(e.scene, CurrentCameraRecord());
    Scene empty;
    EXPECT_FALSE(RestoreRecord(empty, ObjectRecord(0), object));
    EXPECT_FALSE(RestoreRecord(e.scene, MaterialRecord(0), object));
    EXPECT_FALSE(RestoreRecord(e.scene, BackgroundRecord(), camera));
    // Indices that address nothing in this scene become none.
    Scene one;
    one.m_objects.push_back(MakeObject("Only", 3));
    EXPECT_TRUE(RestoreRecord(one, ObjectRecord(0), object));
    EXPECT_EQ(one.m_objects[0].materialIndex, -1);
    EXPECT_EQ(one.m_objects[0].materialName, "Stone");
    EXPECT_TRUE(RestoreRecord(one, CurrentCameraRecord(), camera));
    EXPECT_EQ(one.m_settings.currentCamera, -1);
}

TEST(EditHistory, StatesCompareAsTheirFileBytes) {
    SceneCamera a;
    a.lens = std::nanf("");
    SceneCamera b = a;
    EXPECT_TRUE(SameState(a, b));  // a NaN lens is unchanged
    b.lens = -0.0f;
    a.lens = 0.0f;
    EXPECT_FALSE(SameState(a, b));
    EXPECT_FALSE(SameState(RGB8{1, 2, 3}, int32_t{0}));
    LogFont f = LogFont::DefaultLabelFont();
    LogFont g = f;
    g.lfQuality = 5;
    EXPECT_FALSE(SameState(f, g));
}

TEST(EditHistory, NewOpenAndImportForgetTheHistorySavesKeepIt) {
    auto clears = [](const FrameUpdate& update) {
        return std::count(update.steps.begin(), update.steps.end(), FrameStep::ClearHistory);
    };
    testfiles::TempDir dir;
    const std::string path = dir.File("scene.zmv");
    Scene scene;
    ScriptedPrompts prompts;
    prompts.files.push_back(testfiles::TestData("qt3d/basic-cube.3ds"));
    EXPECT_EQ(clears(OnImportFile(scene, prompts)), 1);
    prompts.files.push_back(path);
    EXPECT_EQ(clears(OnSceneSaveAs(scene, prompts)), 0);
    EXPECT_EQ(clears(OnSceneSave(scene, prompts)), 0);
    scene.m_bModified = true;
    prompts.answers = {false, false, false};
    EXPECT_EQ(clears(OnSceneNew(scene, prompts)), 0);  // declined: the scene stays
    EXPECT_EQ(clears(OnSceneOpen(scene, prompts)), 0);
    EXPECT_EQ(clears(OnImportFile(scene, prompts)), 0);
    prompts.answers = {true, true};  // the scene keeps its changes until the file is read
    prompts.files.push_back(std::nullopt);
    EXPECT_EQ(clears(OnSceneOpen(scene, prompts)), 0);  // no file chosen: the scene stays
    prompts.files.push_back(path);
    EXPECT_EQ(clears(OnSceneOpen(scene, prompts)), 1);
    EXPECT_EQ(clears(OpenSceneFileFromOutside(dir.File("missing.zmv"), scene, prompts)), 1);
    EXPECT_EQ(clears(ImportFileFromOutside(dir.File("missing.3ds"), scene, prompts)), 1);
    EXPECT_EQ(clears(OnSceneNew(scene, prompts)), 1);
}
