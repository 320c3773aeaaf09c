// The copies a 3D Studio keyframer places of a mesh: each node's matrix at frame 0, its parents,
// pivot and the mesh's own matrix, and the nodes passed over, on files built byte by byte.
#include <gtest/gtest.h>

#include <cmath>

#include "import3ds/PlacedCopies.h"
#include "import3ds/Read3DS.h"
#include "scene/SceneCheck.h"
#include "tools/Chunk3ds.h"

using build3ds::Vec3;

namespace {

struct NodeSpec {
    std::string name;
    uint16_t parent = KeyframerNode::kNoParent;
    Vec3 position{0, 0, 0};
    Vec3 pivot{0, 0, 0};
    float angle = 0;
    Vec3 axis{0, 0, 0};
    Vec3 scale{1, 1, 1};
};

Chunk3ds Track(uint16_t id, std::vector<float> value, uint32_t keys = 1) {
    Chunk3ds track(id);
    track.U16(0).U32(0).U32(0).U32(keys);
    if (keys) track.U32(0).U16(0);
    for (float v : value)
        track.F32(v);
    return track;
}

Chunk3ds Node(const NodeSpec& n) {
    Chunk3ds node(chunk::kObjectNode);
    node.Add(Chunk3ds(chunk::kNodeHeader).Name(n.name).U16(0).U16(0).U16(n.parent));
    node.Add(Chunk3ds(chunk::kPivot).F32(n.pivot.x).F32(n.pivot.y).F32(n.pivot.z));
    node.Add(Track(chunk::kPositionTrack, {n.position.x, n.position.y, n.position.z}));
    node.Add(Track(chunk::kRotationTrack, {n.angle, n.axis.x, n.axis.y, n.axis.z}));
    node.Add(Track(chunk::kScaleTrack, {n.scale.x, n.scale.y, n.scale.z}));
    return node;
}

// A unit triangle named Box, with its own matrix where axes is given (x, y, z axes, origin).
Chunk3ds Box(const std::vector<float>& axes) {
    Chunk3ds mesh(chunk::kTriangleMesh);
    mesh.Add(build3ds::VertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
    mesh.Add(build3ds::FaceList({{0, 1, 2, 0}}, {}));
    if (!axes.empty()) {
        Chunk3ds local(chunk::kLocalAxes);
        for (float v : axes)
            local.F32(v);
        mesh.Add(local);
    }
    return Chunk3ds(chunk::kNamedObject).Name("Box").Add(mesh);
}

class Notes final : public ImportListener {
public:
    void Found(const ImportNote& note) override {
        if (note.what == ImportFinding::NodePassedOver || note.what == ImportFinding::TrackDamaged)
            text +=
                (text.empty() ? "" : ", ") + note.name + ":" +
                (note.what == ImportFinding::TrackDamaged ? "track" : std::to_string(note.value));
    }
    std::string text;
};

std::vector<uint8_t> FileWith(const std::vector<float>& axes, const std::vector<Chunk3ds>& nodes) {
    Chunk3ds editor(chunk::kEditor);
    editor.Add(Box(axes));
    Chunk3ds keyframer(chunk::kKeyframer);
    keyframer.Add(Chunk3ds(chunk::kKeyframerHeader).U16(5).Name("MAXSCENE").U32(100));
    for (const Chunk3ds& n : nodes)
        keyframer.Add(n);
    Chunk3ds main(chunk::kMain);
    main.Add(Chunk3ds(chunk::kVersion).U32(3)).Add(editor).Add(keyframer);
    return main.Bytes();
}

// Where a point lands under a matrix.
Vec3 Apply(const Matrix4& m, Vec3 p) {
    const std::array<float, 3> q = TransformPoint(m, {p.x, p.y, p.z});
    return {q[0], q[1], q[2]};
}

void ExpectNear(Vec3 got, Vec3 want) {
    EXPECT_NEAR(got.x, want.x, 1e-5);
    EXPECT_NEAR(got.y, want.y, 1e-5);
    EXPECT_NEAR(got.z, want.z, 1e-5);
}

}  // namespace

TEST(KeyframerCopies, NodeMatrices) {
    const float quarter = 1.5707963f;
    struct Case {
        const char* what;
        NodeSpec node;
        Vec3 point, lands;
    } cases[] = {
        {"none", {}, {1, 2, 3}, {1, 2, 3}},
        {"position", {"n", 0, {10, -2, 0.5f}}, {1, 2, 3}, {11, 0, 3.5f}},
        {"scale", {"n", 0, {}, {}, 0, {}, {2, 3, -1}}, {1, 1, 1}, {2, 3, -1}},
        // The keyframer turns the other way about its axis than the right hand.
        {"quarter turn about z", {"n", 0, {}, {}, quarter, {0, 0, 1}}, {1, 0, 0}, {0, -1, 0}},
        {"axis of any length", {"n", 0, {}, {}, quarter, {0, 0, 5}}, {0, 1, 0}, {1, 0, 0}},
        {"no axis turns nothing", {"n", 0, {}, {}, 2, {0, 0, 0}}, {1, 2, 3}, {1, 2, 3}},
        // Scale first, then the turn, then the position.
        {"all three",
         {"n", 0, {10, 0, 0}, {}, quarter, {0, 0, 1}, {2, 2, 2}},
         {1, 0, 0},
         {10, -2, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KeyframerNode node;
        node.position = {c.node.position.x, c.node.position.y, c.node.position.z};
        node.angle = c.node.angle;
        node.axis = {c.node.axis.x, c.node.axis.y, c.node.axis.z};
        node.scale = {c.node.scale.x, c.node.scale.y, c.node.scale.z};
        ExpectNear(Apply(NodeMatrix(node), c.point), c.lands);
    }
}

TEST(KeyframerCopies, FurtherNodesOfAMeshPlaceCopies) {
    const std::vector<float> identity = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    const std::vector<float> raised = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 3};
    struct Case {
        const char* what;
        std::vector<float> axes;
        std::vector<NodeSpec> nodes;
        std::vector<Vec3> origins;  // where each copy takes the mesh's (0, 0, 0)
        std::string notes;
    } cases[] = {
        {"one node: the object itself", identity, {{"Box"}}, {}, ""},
        {"a second node", identity, {{"Box"}, {"Box", 0xFFFF, {5, 0, 0}}}, {{5, 0, 0}}, ""},
        {"its pivot", {}, {{"Box"}, {"Box", 0xFFFF, {5, 0, 0}, {1, 0, 0}}}, {{4, 0, 0}}, ""},
        // The vertices are stored where the mesh's own matrix places them.
        {"the mesh's matrix", raised, {{"Box"}, {"Box", 0xFFFF, {5, 0, 0}}}, {{5, 0, -3}}, ""},
        // Node 0 is a helper; node 1 the object; node 2 a copy whose parent is the helper.
        {"a dummy parent",
         {},
         {{"$$$DUMMY", 0xFFFF, {0, 10, 0}}, {"Box"}, {"Box", 0, {5, 0, 0}}},
         {{5, 10, 0}},
         ""},
        {"grandparents",
         {},
         {{"Box"},
          {"$$$DUMMY", 0xFFFF, {1, 0, 0}},
          {"$$$DUMMY", 1, {0, 1, 0}},
          {"Box", 2, {0, 0, 1}}},
         {{1, 1, 1}},
         ""},
        {"a parent that no node has", {}, {{"Box"}, {"Box", 40, {5, 0, 0}}}, {{5, 0, 0}}, ""},
        {"a parent loop",
         {},
         {{"Box"}, {"$$$DUMMY", 2}, {"$$$DUMMY", 1}, {"Box", 1, {5, 0, 0}}},
         {},
         "Box:1"},
        {"its own parent", {}, {{"Box"}, {"Box", 1}}, {}, "Box:1"},
        {"no mesh of its name", {}, {{"Box"}, {"Ghost", 0xFFFF, {5, 0, 0}}}, {}, "Ghost:0"},
        {"mesh matrix without inverse",
         std::vector<float>(12, 0.0f),
         {{"Box"}, {"Box", 0xFFFF, {5, 0, 0}}, {"Box", 0xFFFF, {6, 0, 0}}},
         {},
         "Box:2"},
        {"a copy at no finite place",
         {},
         {{"Box"}, {"Box", 0xFFFF, {INFINITY, 0, 0}}},
         {},
         "Box:3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Chunk3ds> nodes;
        for (const NodeSpec& n : c.nodes)
            nodes.push_back(Node(n));
        const std::vector<uint8_t> bytes = FileWith(c.axes, nodes);
        InputStream in(bytes.data(), bytes.size());
        Scene scene;
        Notes notes;
        ASSERT_EQ(Read3DS(in, scene, &notes), Read3dsResult::Read);
        ASSERT_EQ(scene.m_objects.size(), 1u);
        EXPECT_EQ(SceneRuleBroken(scene), "");
        const SceneObject& box = scene.m_objects[0];
        ASSERT_EQ(box.copies.size(), c.origins.size());
        for (size_t i = 0; i < c.origins.size(); ++i)
            ExpectNear(Apply(box.copies[i].matrix, {0, 0, 0}), c.origins[i]);
        EXPECT_EQ(notes.text, c.notes);
    }
}

TEST(KeyframerCopies, DamagedTracksAndCutFilesKeepWhatWasWhole) {
    // A track without keys, or with a key its chunk cannot hold, leaves its default.
    Chunk3ds keyless(chunk::kObjectNode);
    keyless.Add(Chunk3ds(chunk::kNodeHeader).Name("Box").U16(0).U16(0).U16(0xFFFF));
    keyless.Add(Track(chunk::kPositionTrack, {}, 0));
    keyless.Add(Track(chunk::kScaleTrack, {2, 2}));
    const std::vector<uint8_t> bytes = FileWith({}, {Node({"Box"}), keyless});
    InputStream in(bytes.data(), bytes.size());
    Scene scene;
    Notes notes;
    ASSERT_EQ(Read3DS(in, scene, &notes), Read3dsResult::Read);
    EXPECT_EQ(notes.text, "Box:track, Box:track");
    ASSERT_EQ(scene.m_objects[0].copies.size(), 1u);
    EXPECT_EQ(scene.m_objects[0].copies[0].matrix, IdentityMatrix());

    // Every prefix of a file with copies reads without fault, keeping what came whole.
    const std::vector<uint8_t> full =
        FileWith({}, {Node({"Box"}), Node({"Box", 0xFFFF, {5, 0, 0}})});
    for (size_t n = 22; n < full.size(); ++n) {  // from the editor chunk's header on
        std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(n));
        // The main chunk claims the length that is left, as a file cut by a copy would not.
        cut[2] = static_cast<uint8_t>(n), cut[3] = static_cast<uint8_t>(n >> 8);
        InputStream part(cut.data(), cut.size());
        Scene partial;
        ASSERT_EQ(Read3DS(part, partial), Read3dsResult::Read) << n;
        EXPECT_EQ(SceneRuleBroken(partial), "") << n;
        for (const SceneObject& o : partial.m_objects)
            EXPECT_LE(o.copies.size(), 1u) << n;
    }
}
