#include "bench/BenchScene.h"

#include <cstdio>
#include <stdexcept>

#include "bench/BenchShapes.h"
#include "tools/Chunk3ds.h"

namespace {

struct Rgb {
    uint8_t r, g, b;
};

struct MaterialLook {
    const char* name;
    Rgb ambient, diffuse, specular;
    int16_t shininess, strength, transparency;  // percentages
};

const MaterialLook kMaterials[] = {
    {"Granite", {40, 38, 36}, {150, 142, 135}, {229, 229, 229}, 12, 20, 0},
    {"Brass", {50, 35, 10}, {200, 150, 60}, {255, 240, 200}, 60, 80, 0},
    {"Glass", {10, 20, 25}, {120, 170, 190}, {255, 255, 255}, 80, 90, 65},
    {"Terracotta", {45, 20, 12}, {180, 90, 55}, {120, 110, 100}, 8, 10, 0},
    {"Foliage", {10, 30, 8}, {60, 140, 45}, {90, 110, 80}, 25, 30, 10},
};
constexpr size_t kMaterialCount = sizeof kMaterials / sizeof kMaterials[0];

constexpr int kObjectCount = 40;

// Grid and lathe sizes in quads (columns x rows); the other objects cycle through them.
const int kQuadSizes[][2] = {{180, 180}, {150, 150}, {200, 100},
                             {128, 170}, {240, 110}, {140, 120}};

struct Placed {
    std::string name;
    BenchMesh::Point center;
};

void Color(ChunkWriter& out, uint16_t id, Rgb c) {
    out.Open(id);
    // Exporters write the colour twice: as a byte colour, then as a linear byte colour.
    for (uint16_t kind : {chunk::kColorBytes, chunk::kColorBytesLinear}) {
        out.Open(kind);
        out.U8(c.r);
        out.U8(c.g);
        out.U8(c.b);
        out.Close();
    }
    out.Close();
}

void Percent(ChunkWriter& out, uint16_t id, int16_t percent) {
    out.Open(id);
    out.Open(chunk::kPercentInt);
    out.I16(percent);
    out.Close();
    out.Close();
}

void FloatColor(ChunkWriter& out, float r, float g, float b) {
    out.Open(chunk::kColorFloat);
    out.F32(r);
    out.F32(g);
    out.F32(b);
    out.Close();
}

void Material(ChunkWriter& out, const MaterialLook& m) {
    out.Open(chunk::kMaterial);
    out.Open(chunk::kMaterialName);
    out.Name(m.name);
    out.Close();
    Color(out, chunk::kAmbient, m.ambient);
    Color(out, chunk::kDiffuse, m.diffuse);
    Color(out, chunk::kSpecular, m.specular);
    Percent(out, chunk::kShininess, m.shininess);
    Percent(out, chunk::kShininessStrength, m.strength);
    Percent(out, chunk::kTransparency, m.transparency);
    Percent(out, chunk::kTransparencyFalloff, 0);
    Percent(out, chunk::kReflectionBlur, 0);
    out.Open(chunk::kShading);
    out.U16(3);  // Phong
    out.Close();
    Percent(out, chunk::kSelfIllumination, 0);
    out.Open(chunk::kWireSize);
    out.F32(1.0f);
    out.Close();
    out.Close();
}

// A material group listing the faces from first to first + count - 1.
void MaterialGroup(ChunkWriter& out, const char* material, size_t first, size_t count) {
    out.Open(chunk::kFaceMaterial);
    out.Name(material);
    out.U16(static_cast<uint16_t>(count));
    for (size_t i = first; i < first + count; ++i)
        out.U16(static_cast<uint16_t>(i));
    out.Close();
}

// A named object with a triangle mesh, in the sub-chunk order 3DS exporters use. A second
// material, when given, takes the second half of the faces.
void MeshObject(ChunkWriter& out, const std::string& name, const BenchMesh& mesh,
                const BenchMesh::Point& center, const char* material, const char* second) {
    if (mesh.points.size() > 65535 || mesh.faces.size() > 65535)
        throw std::logic_error("a 3DS mesh holds at most 65535 vertices and faces: " + name);
    out.Open(chunk::kNamedObject);
    out.Name(name);
    out.Open(chunk::kTriangleMesh);

    out.Open(chunk::kVertexList);
    out.U16(static_cast<uint16_t>(mesh.points.size()));
    for (const BenchMesh::Point& p : mesh.points) {
        out.F32(p.x);
        out.F32(p.y);
        out.F32(p.z);
    }
    out.Close();

    out.Open(chunk::kMappingCoords);
    out.U16(static_cast<uint16_t>(mesh.texels.size()));
    for (const BenchMesh::Texel& t : mesh.texels) {
        out.F32(t.u);
        out.F32(t.v);
    }
    out.Close();

    // The object's own axes: no rotation, origin at its centre.
    out.Open(chunk::kLocalAxes);
    for (float v : {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f})
        out.F32(v);
    out.F32(center.x);
    out.F32(center.y);
    out.F32(center.z);
    out.Close();

    out.Open(chunk::kFaceList);
    out.U16(static_cast<uint16_t>(mesh.faces.size()));
    for (const BenchMesh::Face& f : mesh.faces) {
        out.U16(f.a);
        out.U16(f.b);
        out.U16(f.c);
        out.U16(f.flags);
    }
    const size_t faces = mesh.faces.size();
    if (second) {
        MaterialGroup(out, material, 0, faces / 2);
        MaterialGroup(out, second, faces / 2, faces - faces / 2);
    } else {
        MaterialGroup(out, material, 0, faces);
    }
    out.Open(chunk::kSmoothGroups);
    for (uint32_t group : mesh.smoothing)
        out.U32(group);
    out.Close();
    out.Close();  // face list

    out.Close();  // triangle mesh
    out.Close();  // named object
}

void Lights(ChunkWriter& out) {
    out.Open(chunk::kNamedObject);
    out.Name("Omni01");
    out.Open(chunk::kLight);
    for (float v : {-2000.0f, -2000.0f, 1500.0f})
        out.F32(v);
    FloatColor(out, 1.0f, 0.95f, 0.85f);
    out.Open(chunk::kLightMultiplier);
    out.F32(1.0f);
    out.Close();
    out.Close();
    out.Close();

    out.Open(chunk::kNamedObject);
    out.Name("Spot01");
    out.Open(chunk::kLight);
    for (float v : {1500.0f, -1800.0f, 2200.0f})
        out.F32(v);
    FloatColor(out, 0.8f, 0.85f, 1.0f);
    out.Open(chunk::kSpotlight);  // target, hotspot and falloff
    for (float v : {0.0f, 0.0f, 0.0f, 30.0f, 45.0f})
        out.F32(v);
    out.Close();
    out.Close();
    out.Close();
}

void Camera(ChunkWriter& out) {
    out.Open(chunk::kNamedObject);
    out.Name("Camera01");
    out.Open(chunk::kCamera);
    // Eye, target, roll, lens.
    for (float v : {-2500.0f, -3000.0f, 1800.0f, 0.0f, 0.0f, 0.0f, 0.0f, 35.0f})
        out.F32(v);
    out.Open(chunk::kCameraRanges);  // near and far
    out.F32(10.0f);
    out.F32(10000.0f);
    out.Close();
    out.Close();
    out.Close();
}

// A keyframer track holding one key at frame 0 with the given values.
void Track(ChunkWriter& out, uint16_t id, std::initializer_list<float> values) {
    out.Open(id);
    out.U16(0);  // flags
    out.U32(0);
    out.U32(0);
    out.U32(1);  // keys
    out.U32(0);  // frame
    out.U16(0);  // no spline parameters follow
    for (float v : values)
        out.F32(v);
    out.Close();
}

void NodeStart(ChunkWriter& out, uint16_t kind, uint16_t& nextId, const std::string& name) {
    out.Open(kind);
    out.Open(chunk::kNodeId);
    out.U16(nextId++);
    out.Close();
    out.Open(chunk::kNodeHeader);
    out.Name(name);
    out.U16(0);
    out.U16(0);
    out.I16(-1);  // no parent
    out.Close();
}

void Keyframer(ChunkWriter& out, const std::vector<Placed>& objects) {
    out.Open(chunk::kKeyframer);
    out.Open(chunk::kKeyframerHeader);
    out.U16(5);
    out.Name("MAXSCENE");
    out.U32(100);
    out.Close();
    out.Open(chunk::kKeyframerSegment);  // the active frames
    out.U32(0);
    out.U32(100);
    out.Close();
    out.Open(chunk::kKeyframerCurrentFrame);
    out.U32(0);
    out.Close();

    uint16_t id = 0;
    for (const Placed& o : objects) {
        NodeStart(out, chunk::kObjectNode, id, o.name);
        out.Open(chunk::kPivot);
        for (int i = 0; i < 3; ++i)
            out.F32(0.0f);
        out.Close();
        Track(out, chunk::kPositionTrack, {o.center.x, o.center.y, o.center.z});
        Track(out, chunk::kRotationTrack, {0.0f, 0.0f, 0.0f, 1.0f});
        Track(out, chunk::kScaleTrack, {1.0f, 1.0f, 1.0f});
        out.Close();
    }
    NodeStart(out, chunk::kCameraNode, id, "Camera01");
    Track(out, chunk::kPositionTrack, {-2500.0f, -3000.0f, 1800.0f});
    Track(out, chunk::kFieldOfViewTrack, {54.43f});
    Track(out, chunk::kRollTrack, {0.0f});
    out.Close();
    NodeStart(out, chunk::kCameraTargetNode, id, "Camera01");
    Track(out, chunk::kPositionTrack, {0.0f, 0.0f, 0.0f});
    out.Close();
    NodeStart(out, chunk::kLightNode, id, "Omni01");
    Track(out, chunk::kPositionTrack, {-2000.0f, -2000.0f, 1500.0f});
    Track(out, chunk::kColorTrack, {1.0f, 0.95f, 0.85f});
    out.Close();
    NodeStart(out, chunk::kSpotlightNode, id, "Spot01");
    Track(out, chunk::kPositionTrack, {1500.0f, -1800.0f, 2200.0f});
    Track(out, chunk::kColorTrack, {0.8f, 0.85f, 1.0f});
    Track(out, chunk::kHotspotTrack, {30.0f});
    Track(out, chunk::kFalloffTrack, {45.0f});
    Track(out, chunk::kRollTrack, {0.0f});
    out.Close();
    NodeStart(out, chunk::kLightTargetNode, id, "Spot01");
    Track(out, chunk::kPositionTrack, {0.0f, 0.0f, 0.0f});
    out.Close();
    out.Close();
}

// Object i of the scene, built around the origin. Every thirteenth object is a faceted column
// near the 65,535-vertex limit (65,280 vertices) or, for the first, exactly at it.
BenchMesh MakeObject(int i, std::string& name) {
    char text[16];
    const uint32_t seed = 1000u + static_cast<uint32_t>(i);
    if (i == 0) {
        // 2 x 31 x 1057 + 1 = 65,535 vertices.
        std::snprintf(text, sizeof text, "Column%02d", i);
        name = text;
        return BandedLathe(30, 1057, 60.0f, 400.0f, true);
    }
    if (i % 13 == 0) {
        std::snprintf(text, sizeof text, "Column%02d", i);
        name = text;
        return BandedLathe(254, 128, 90.0f, 250.0f, false);
    }
    const int* quads = kQuadSizes[i % (sizeof kQuadSizes / sizeof kQuadSizes[0])];
    if (i % 2 == 0) {
        std::snprintf(text, sizeof text, "Terrain%02d", i);
        name = text;
        return DisplacedGrid(quads[0], quads[1], 240.0f, seed);
    }
    std::snprintf(text, sizeof text, "Vase%02d", i);
    name = text;
    return SmoothLathe(quads[0], quads[1], 80.0f, 220.0f, seed);
}

}  // namespace

std::vector<uint8_t> BuildBenchScene(BenchSceneCounts* counts) {
    ChunkWriter out;
    out.Reserve(56u << 20);
    out.Open(chunk::kMain);
    out.Open(chunk::kVersion);
    out.U32(3);
    out.Close();

    out.Open(chunk::kEditor);
    out.Open(chunk::kMeshVersion);
    out.U32(3);
    out.Close();
    for (const MaterialLook& m : kMaterials)
        Material(out, m);
    out.Open(chunk::kMasterScale);
    out.F32(1.0f);
    out.Close();
    out.Open(chunk::kAmbientLight);
    FloatColor(out, 0.1f, 0.1f, 0.1f);
    out.Close();

    BenchSceneCounts c;
    std::vector<Placed> placed;
    for (int i = 0; i < kObjectCount; ++i) {
        Placed p;
        BenchMesh mesh = MakeObject(i, p.name);
        p.center = {300.0f * static_cast<float>(i % 7 - 3), 300.0f * static_cast<float>(i / 7 - 3),
                    0.0f};
        Translate(mesh, p.center.x, p.center.y, p.center.z);
        const size_t m = static_cast<size_t>(i) % kMaterialCount;
        const char* second = i % 5 == 4 ? kMaterials[(m + 2) % kMaterialCount].name : nullptr;
        MeshObject(out, p.name, mesh, p.center, kMaterials[m].name, second);
        c.vertices += mesh.points.size();
        c.triangles += mesh.faces.size();
        placed.push_back(p);
    }
    Lights(out);
    Camera(out);
    out.Close();  // editor

    Keyframer(out, placed);
    out.Close();  // main
    if (!out.Balanced()) throw std::logic_error("unbalanced chunks in the benchmark scene");

    c.objects = placed.size();
    c.materials = kMaterialCount;
    if (counts) *counts = c;
    return out.Take();
}

bool WriteBenchScene(const std::string& path, BenchSceneCounts* counts) {
    const std::vector<uint8_t> bytes = BuildBenchScene(counts);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
