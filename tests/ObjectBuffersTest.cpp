// The buffer drawing's calls: one draw call per object in each mode, lighting switched once per
// frame in the vertex and line modes, buffers made once and only made again for what changed,
// and Begin/End where buffers cannot be had.
#include <gtest/gtest.h>

#include "tests/RecordingGl.h"

namespace {

SceneObject Quad(float z) {
    SceneObject o;
    o.name = "Quad";
    o.vertices = {{0, 0, z, 0, 0, 1}, {1, 0, z, 0, 0, 1}, {1, 1, z, 0, 0, 1}, {0, 1, z, 0, 0, 1}};
    o.meshes = {{0, 1, 2, 0, 0, 0, 1}, {0, 2, 3, 0, 0, 0, 1}};
    o.vertexCount = 4, o.meshCount = 2;
    o.maxX = o.maxY = 1;
    return o;
}

struct Frame {
    Scene scene;
    ViewState view;
    RecordingGl gl;
    SceneRenderer renderer{gl, scene, view};

    Frame() {
        gl.buffers = true;
        scene.ClearScene();
        scene.m_objects = {Quad(0), Quad(1)};
        view.m_bShowBox = false;
    }
    // The calls of the objects of one frame.
    const std::vector<GlCall>& Draw(DisplayMode mode) {
        view.m_nDisplayMode = mode;
        gl.calls.clear();
        renderer.DrawObjects();
        return gl.calls;
    }
};

}  // namespace

TEST(ObjectBuffers, EachModeDrawsEveryObjectWithOneCall) {
    Frame f;
    f.Draw(ModeVertex);
    // Each corner once, though the triangles share two of them.
    EXPECT_EQ(f.gl.Count("DrawElements", {GL_POINTS, 4, 0}), 2u);
    EXPECT_EQ(f.gl.Count("BufferData", {GL_ELEMENT_ARRAY_BUFFER, 4 * sizeof(uint16_t)}), 2u);
    EXPECT_EQ(f.gl.Count("Begin"), 0u);
    // Lighting off and the colour set once for the frame, not per triangle.
    EXPECT_EQ(f.gl.Count("Disable", {GL_LIGHTING}), 1u);
    EXPECT_EQ(f.gl.Count("Enable", {GL_LIGHTING}), 1u);
    EXPECT_EQ(f.gl.Count("Color3f", {1, 1, 1}), 1u);
    EXPECT_LT(f.gl.Find("Disable", {GL_LIGHTING}), f.gl.Find("DrawElements"));
    EXPECT_EQ(f.gl.Count("EnableClientState", {GL_NORMAL_ARRAY}), 0u);

    f.Draw(ModeLine);
    EXPECT_EQ(f.gl.Count("DrawElements", {GL_LINES, 12, 0}), 2u);
    EXPECT_EQ(f.gl.Count("Disable", {GL_LIGHTING}), 1u);

    // The lit modes send every corner on its own, as Begin/End does.
    f.Draw(ModeSmooth);
    EXPECT_EQ(f.gl.Count("DrawArrays", {GL_TRIANGLES, 0, 6}), 2u);
    EXPECT_EQ(f.gl.Count("DrawElements"), 0u);
    EXPECT_EQ(f.gl.Count("Disable", {GL_LIGHTING}), 0u);
    EXPECT_EQ(f.gl.Count("NormalPointer", {sizeof(SceneVertex), offsetof(SceneVertex, nx)}), 2u);

    f.Draw(ModeFlat);
    EXPECT_EQ(f.gl.Count("DrawArrays", {GL_TRIANGLES, 0, 6}), 2u);
    EXPECT_EQ(f.gl.Count("Materialfv"), 6u);  // every object's material, as before

    // No such mode: materials, nothing drawn.
    f.Draw(static_cast<DisplayMode>(7));
    EXPECT_EQ(f.gl.Count("DrawElements") + f.gl.Count("DrawArrays") + f.gl.Count("Begin"), 0u);
}

TEST(ObjectBuffers, NothingIsLeftBoundOrEnabledAfterTheObjects) {
    Frame f;
    for (DisplayMode mode : {ModeVertex, ModeLine, ModeFlat, ModeSmooth}) {
        const std::vector<GlCall>& calls = f.Draw(mode);
        ASSERT_GE(calls.size(), 4u);
        const size_t n = calls.size();
        EXPECT_EQ(f.gl.Count("EnableClientState"), f.gl.Count("DisableClientState"));
        EXPECT_TRUE(calls[n - (mode <= ModeLine ? 3 : 2)].Is("BindBuffer", {GL_ARRAY_BUFFER, 0}));
        EXPECT_TRUE(
            calls[n - (mode <= ModeLine ? 2 : 1)].Is("BindBuffer", {GL_ELEMENT_ARRAY_BUFFER, 0}));
    }
}

TEST(ObjectBuffers, OnlyWhatAChangeTouchedIsMadeAgain) {
    Frame f;
    f.Draw(ModeSmooth);
    // The corners of each object.
    EXPECT_EQ(f.gl.Count("BufferData"), 2u);
    EXPECT_EQ(f.gl.bufferBytes, 2 * 6 * sizeof(SceneVertex));
    f.Draw(ModeSmooth);
    EXPECT_EQ(f.gl.Count("BufferData"), 0u);

    // A material edit changes material state only.
    f.scene.m_materials.push_back(SceneMaterial{});
    f.scene.m_objects[1].materialIndex = 0;
    f.Draw(ModeSmooth);
    EXPECT_EQ(f.gl.Count("BufferData"), 0u);

    // One object turned flat: that object's corners with the face normal, nothing else.
    f.scene.m_objects[1].smooth = 0;
    f.gl.bufferBytes = 0;
    f.Draw(ModeSmooth);
    EXPECT_EQ(f.gl.Count("BufferData", {GL_ARRAY_BUFFER, 6 * sizeof(SceneVertex)}), 1u);
    EXPECT_EQ(f.gl.Count("BufferData"), 1u);
    EXPECT_EQ(f.gl.Count("DrawArrays", {GL_TRIANGLES, 0, 6}), 2u);
    f.scene.m_objects[1].smooth = 1;
    f.Draw(ModeSmooth);
    f.Draw(ModeFlat);  // the other object's flat corners
    EXPECT_EQ(f.gl.Count("BufferData"), 1u);
    f.Draw(ModeLine);  // each object's edges
    EXPECT_EQ(f.gl.Count("BufferData", {GL_ELEMENT_ARRAY_BUFFER, 12 * sizeof(uint16_t)}), 2u);

    // New geometry of one object: only its buffers go.
    f.scene.m_objects[0].vertices.push_back({2, 2, 2, 0, 0, 1});
    f.scene.m_objects[0].revision = NewObjectRevision();
    f.Draw(ModeSmooth);
    EXPECT_EQ(f.gl.Count("DeleteBuffer"), 4u);  // vertices, edges, smooth and flat corners
    EXPECT_EQ(f.gl.Count("BufferData"), 1u);

    // A replaced scene: everything anew, and an object gone takes its buffers along.
    f.renderer.SceneReplaced();
    f.scene.m_objects.pop_back();
    f.Draw(ModeSmooth);
    EXPECT_EQ(f.gl.Count("DeleteBuffer"), 1u + 4u);
    EXPECT_EQ(f.gl.Count("BufferData"), 1u);
}

TEST(ObjectBuffers, WithoutRoomOrBuffersTheTrianglesGoBetweenBeginAndEnd) {
    Frame f;
    f.gl.buffersFull = true;
    f.Draw(ModeVertex);
    // Drawn as before, but with lighting switched once.
    EXPECT_EQ(f.gl.Count("Begin", {GL_POINTS}), 4u);
    EXPECT_EQ(f.gl.Count("Vertex3f"), 12u);
    EXPECT_EQ(f.gl.Count("Disable", {GL_LIGHTING}), 1u);
    EXPECT_EQ(f.gl.Count("DrawElements"), 0u);
    EXPECT_EQ(f.gl.Count("DeleteBuffer"), f.gl.Count("GenBuffer"));
    // A buffer that did not fit is not tried again every frame.
    f.Draw(ModeVertex);
    EXPECT_EQ(f.gl.Count("BufferData"), 0u);

    f.Draw(ModeFlat);
    EXPECT_EQ(f.gl.Count("Begin", {GL_TRIANGLES}), 4u);
    EXPECT_EQ(f.gl.Count("Normal3f", {0, 0, 1}), 4u);
    f.Draw(ModeSmooth);
    EXPECT_EQ(f.gl.Count("Normal3f", {0, 0, 1}), 12u);

    // Room again once the scene is replaced.
    f.gl.buffersFull = false;
    f.renderer.SceneReplaced();
    f.Draw(ModeSmooth);
    EXPECT_EQ(f.gl.Count("DrawArrays", {GL_TRIANGLES, 0, 6}), 2u);

    // The plain path on request, and on a context without buffer objects.
    f.renderer.SetDrawPath(DrawPath::Immediate);
    f.Draw(ModeVertex);
    EXPECT_EQ(f.gl.Count("Disable", {GL_LIGHTING}), 4u);
    f.renderer.SetDrawPath(DrawPath::Buffers);
    f.gl.buffers = false;
    f.Draw(ModeLine);
    EXPECT_EQ(f.gl.Count("Begin", {GL_LINE_LOOP}), 4u);
    EXPECT_EQ(f.gl.Count("GenBuffer") + f.gl.Count("BindBuffer"), 0u);
}

// A strip of 200 triangles whose first 70 and last 20 are one face group: runs of 70, 20 and the
// 110 in no group.
SceneObject Strip() {
    SceneObject strip;
    for (int i = 0; i <= 100; ++i)
        for (float y : {0.0f, 1.0f})
            strip.vertices.push_back({float(i), y, 0, 0, 0, 1});
    for (uint16_t i = 0; i < 100; ++i) {
        const uint16_t a = uint16_t(2 * i);
        strip.meshes.push_back({a, uint16_t(a + 2), uint16_t(a + 1), 0, 0, 0, 1});
        strip.meshes.push_back({uint16_t(a + 1), uint16_t(a + 2), uint16_t(a + 3), 0, 0, 0, 1});
    }
    strip.vertexCount = 202, strip.meshCount = 200;
    FaceGroup group;
    for (uint32_t t = 0; t < 70; ++t)
        group.faces.push_back(t);
    for (uint32_t t = 180; t < 200; ++t)
        group.faces.push_back(t);
    strip.faceGroups = {group};
    return strip;
}

TEST(ObjectBuffers, LongSmoothRunsDrawByIndicesIntoTheObjectsVertices) {
    Frame f;
    f.scene.m_objects = {Strip()};

    f.Draw(ModeSmooth);
    // The group's 90 triangles, then the 110 others, each a range of one index buffer of the
    // corners in that order, over the vertices as they are.
    EXPECT_EQ(f.gl.Count("DrawElements", {GL_TRIANGLES, 270, 0}), 1u);
    EXPECT_EQ(f.gl.Count("DrawElements", {GL_TRIANGLES, 330, 270 * sizeof(uint16_t)}), 1u);
    EXPECT_EQ(f.gl.Count("DrawArrays"), 0u);
    EXPECT_EQ(f.gl.Count("BufferData", {GL_ARRAY_BUFFER, 202 * sizeof(SceneVertex)}), 1u);
    EXPECT_EQ(f.gl.Count("BufferData", {GL_ELEMENT_ARRAY_BUFFER, 600 * sizeof(uint16_t)}), 1u);
    // Flat corners carry their face's normal: each sent on its own.
    f.Draw(ModeFlat);
    EXPECT_EQ(f.gl.Count("DrawArrays", {GL_TRIANGLES, 0, 270}), 1u);
    EXPECT_EQ(f.gl.Count("DrawElements"), 0u);
}

// A single picture copies no vertex into a buffer: they are drawn where the scene holds them, and
// the corners made for its runs from one list made once; only indices go into buffers.
TEST(ObjectBuffers, ASinglePictureDrawsItsVerticesFromTheScenesOwnLists) {
    Frame f;
    f.scene.m_objects = {Strip()};
    f.renderer.SetDrawPath(DrawPath::SceneMemory);
    const SceneObject& strip = f.scene.m_objects[0];
    const double stride = sizeof(SceneVertex);
    const double vertices = static_cast<double>(reinterpret_cast<size_t>(strip.vertices.data()));

    f.Draw(ModeSmooth);
    EXPECT_EQ(f.gl.Count("VertexPointer", {stride, vertices}), 2u);  // one a run
    EXPECT_EQ(f.gl.Count("BufferData"), 1u);
    EXPECT_EQ(f.gl.Count("BufferData", {GL_ELEMENT_ARRAY_BUFFER, 600 * sizeof(uint16_t)}), 1u);
    EXPECT_EQ(f.gl.Count("DrawElements", {GL_TRIANGLES, 330, 270 * sizeof(uint16_t)}), 1u);

    f.Draw(ModeFlat);
    EXPECT_EQ(f.gl.Count("BufferData"), 0u);
    const std::vector<GlCall> corners = f.gl.Named("VertexPointer");
    ASSERT_EQ(corners.size(), 2u);
    EXPECT_EQ(corners[0].args, corners[1].args);
    EXPECT_NE(corners[0].args[1], vertices);
    EXPECT_EQ(f.gl.Count("DrawArrays", {GL_TRIANGLES, 270, 330}), 1u);

    f.Draw(ModeVertex);
    EXPECT_EQ(f.gl.Count("VertexPointer", {stride, vertices}), 1u);
    EXPECT_EQ(f.gl.Count("BufferData", {GL_ELEMENT_ARRAY_BUFFER, 202 * sizeof(uint16_t)}), 1u);
    EXPECT_EQ(f.gl.Count("DrawElements", {GL_POINTS, 202, 0}), 1u);
}
