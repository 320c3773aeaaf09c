#include <algorithm>

#include "scene/ArchiveString.h"
#include "scene/BulkMemory.h"
#include "scene/CheckedReader.h"
#include "scene/FiniteBounds.h"
#include "scene/ReadBudget.h"
#include "scene/SceneFile.h"
#include "scene/SceneFileExtras.h"
#include "scene/SceneFileLayout.h"

namespace {

// Every read below goes through this: the first item the file cannot hold ends the scene.
struct EndOfFile {};

class Reader : public CheckedReader<EndOfFile> {
public:
    using CheckedReader::CheckedReader;

    RGB8 Color() {
        uint8_t b[3];
        Bytes(b, 3);
        return RGB8{b[0], b[1], b[2]};
    }
    // A count of items of itemSize bytes each that the rest of the file must hold. A negative
    // count is taken as the unsigned number it also is, which is more than any file holds, so it
    // ends the scene too.
    uint32_t HeldCount(int32_t count, size_t itemSize) {
        const uint64_t n = static_cast<uint32_t>(count);
        if (n * itemSize > Remaining()) throw EndOfFile{};
        return static_cast<uint32_t>(n);
    }
};

// The memory each record takes beyond its slot in its list, for the budget.
uint64_t HeapBytes(const std::string& name) {
    return ReadBudget::HeapBytes(name);
}
uint64_t HeapBytes(const SceneMaterial& m) {
    return ReadBudget::HeapBytes(m.name);
}
uint64_t HeapBytes(const SceneLight& l) {
    return ReadBudget::HeapBytes(l.name);
}
uint64_t HeapBytes(const SceneCamera& c) {
    return ReadBudget::HeapBytes(c.name);
}
// The vertices and triangles were counted as they were read.
uint64_t HeapBytes(const SceneObject& o) {
    return ReadBudget::HeapBytes(o.name) + ReadBudget::HeapBytes(o.materialName) +
           ReadBudget::HeapBytes(o.note);
}

LogFont ReadFont(Reader& r) {
    LogFont f;
    f.lfCharSet = r.U8();
    f.lfClipPrecision = r.U8();
    f.lfEscapement = r.I32();
    // The face name is a zero-terminated field of 32 bytes: at most 31 characters stay.
    std::string face = r.Str();
    face = face.substr(0, face.find('\0'));
    if (face.size() > LogFont::kMaxFaceName) face.resize(LogFont::kMaxFaceName);
    f.lfFaceName = std::move(face);
    f.lfHeight = r.I32();
    f.lfItalic = r.U8();
    f.lfOrientation = r.I32();
    f.lfOutPrecision = r.U8();
    f.lfPitchAndFamily = r.U8();
    f.lfQuality = r.U8();
    f.lfStrikeOut = r.U8();
    f.lfUnderline = r.U8();
    f.lfWeight = r.I32();
    f.lfWidth = r.I32();
    return f;
}

SceneMaterial ReadMaterial(Reader& r) {
    SceneMaterial m;
    m.name = r.Str();
    m.ambient = r.Color();
    m.diffuse = r.Color();
    m.specular = r.Color();
    m.shininess = r.F32();
    m.transparency = r.F32();
    return m;
}

SceneLight ReadLight(Reader& r) {
    SceneLight l;
    l.name = r.Str();
    l.on = r.I32();
    for (float& c : l.color)
        c = r.F32();
    l.color24 = r.Color();
    l.x = r.F32();
    l.y = r.F32();
    l.z = r.F32();
    return l;
}

SceneCamera ReadCamera(Reader& r) {
    SceneCamera c;
    c.name = r.Str();
    for (float* v :
         {&c.lens, &c.roll, &c.targetX, &c.targetY, &c.targetZ, &c.posX, &c.posY, &c.posZ})
        *v = r.F32();
    return c;
}

void ReadVertices(Reader& r, SceneObject& o) {
    const uint32_t count = r.HeldCount(o.vertexCount, VertexLayout::kSize);
    r.Keep(uint64_t{count} * sizeof(SceneVertex));
    o.vertices.resize(count);
    LoadRecords<VertexLayout>(r.Span(count * VertexLayout::kSize), count, o.vertices.data(),
                              [](const SceneVertex&) { return true; });
}

void ReadTriangles(Reader& r, SceneObject& o) {
    const uint32_t count = r.HeldCount(o.meshCount, TriangleLayout::kSize);
    r.Keep(uint64_t{count} * sizeof(SceneMesh));
    o.meshes.resize(count);
    const size_t vertexCount = o.vertices.size();
    // A corner outside the vertices would make the view read outside them: such a triangle is
    // dropped.
    const size_t kept = LoadRecords<TriangleLayout>(
        r.Span(count * TriangleLayout::kSize), count, o.meshes.data(), [=](const SceneMesh& m) {
            return (m.a < vertexCount) & (m.b < vertexCount) & (m.c < vertexCount);
        });
    o.meshes.resize(kept);
    o.meshCount = static_cast<int32_t>(kept);
}

SceneObject ReadObject(Reader& r, size_t materialCount) {
    SceneObject o;
    o.name = r.Str();
    o.materialName = r.Str();
    o.materialIndex = r.I32();
    if (o.materialIndex < -1 || o.materialIndex >= static_cast<int64_t>(materialCount))
        o.materialIndex = -1;
    o.smooth = r.I32();
    for (float* v :
         {&o.centerX, &o.centerY, &o.centerZ, &o.maxX, &o.maxY, &o.maxZ, &o.minX, &o.minY, &o.minZ})
        *v = r.F32();
    o.note = r.Str();
    o.noteColor = r.Color();
    o.noteX = r.I32();
    o.noteY = r.I32();
    o.vertexCount = r.I32();
    ReadVertices(r, o);
    o.meshCount = r.I32();
    ReadTriangles(r, o);
    return o;
}

// Reads a count and that many records; a negative count reads none. Each record joins the list
// only once it has been read whole and the budget holds it. The count is not trusted for
// reserving: the list grows as records actually arrive.
template <class List, class ReadOne>
void ReadList(Reader& r, List& list, ReadOne readOne) {
    const int32_t count = r.I32();
    for (int32_t i = 0; i < count; ++i) {
        auto record = readOne(r);
        // A full list moves to a block twice its size while the old block is still held: every
        // block it takes is counted, so that a list of many small records (empty names take a
        // byte in the file but a whole string in memory) stays within the budget at its peak.
        if (list.size() == list.capacity())
            r.Keep(sizeof(record) * std::max<uint64_t>(1, 2 * uint64_t{list.capacity()}));
        r.Keep(HeapBytes(record));
        list.push_back(std::move(record));
    }
}

// Everything after the magic and the version words.
void ReadBody(Reader& r, Scene& scene) {
    SceneSettings& s = scene.m_settings;
    s.background = r.Color();
    r.Bytes(s.reservedBytes, 3);
    for (int32_t& w : s.reservedWords)
        w = r.I32();
    for (float* v : {&s.maxX, &s.minX, &s.maxY, &s.minY, &s.maxZ, &s.minZ})
        *v = r.F32();
    s.textFont = ReadFont(r);
    s.currentObject = r.I32();
    s.currentCamera = r.I32();

    ReadList(r, scene.m_materials, ReadMaterial);
    ReadList(r, scene.m_materialNames, [](Reader& rr) { return rr.Str(); });
    // Entry i of the names names material i: a file whose two lists differ in length is
    // damaged, and is read as one that ends here. Names that differ from their materials'
    // are taken from the materials.
    if (scene.m_materialNames.size() != scene.m_materials.size()) throw EndOfFile{};
    for (size_t i = 0; i < scene.m_materials.size(); ++i)
        scene.m_materialNames[i] = scene.m_materials[i].name;
    ReadList(r, scene.m_lights, ReadLight);
    // A file with a camera always opens looking through its first camera.
    ReadList(r, scene.m_cameras, [&](Reader& rr) {
        SceneCamera camera = ReadCamera(rr);
        s.currentCamera = 0;
        return camera;
    });
    const size_t materialCount = scene.m_materials.size();
    ReadList(r, scene.m_objects,
             [materialCount](Reader& rr) { return ReadObject(rr, materialCount); });
}

// Whatever the result, also after a cut file or one that is no scene file: the scene keeps what
// was read and must stay safe to show, so the materials keep only those that have their names,
// names cut off before they were checked still name their materials, and current indices that
// address nothing (the cleared scene keeps them) become -1.
ReadSceneResult KeptSafeToShow(Scene& scene, ReadSceneResult result) {
    const size_t named = std::min(scene.m_materials.size(), scene.m_materialNames.size());
    scene.m_materials.resize(named);
    scene.m_materialNames.resize(named);
    for (size_t i = 0; i < named; ++i)
        scene.m_materialNames[i] = scene.m_materials[i].name;
    SceneSettings& s = scene.m_settings;
    if (!IsIndexOf(s.currentObject, scene.m_objects)) s.currentObject = -1;
    if (!IsIndexOf(s.currentCamera, scene.m_cameras)) s.currentCamera = -1;
    MendSceneBounds(scene);
    return result;
}

}  // namespace

bool ReadSceneObject(InputStream& in, ReadBudget& budget, size_t materialCount,
                     SceneObject& object) {
    Reader r(in, budget);
    try {
        SceneObject read = ReadObject(r, materialCount);
        r.Keep(HeapBytes(read));
        object = std::move(read);
        return true;
    } catch (const EndOfFile&) {
        return false;
    }
}

ReadSceneResult ReadScene(InputStream& in, Scene& scene, ReadExtrasResult* extras) {
    ReadBudget budget(in.Size());
    return ReadScene(in, scene, budget, extras);
}

ReadSceneResult ReadScene(InputStream& in, Scene& scene, ReadBudget& budget,
                          ReadExtrasResult* extras) {
    if (extras) *extras = ReadExtrasResult::None;
    // In memory, vertices and triangles take the bytes they take in the file: the rest of the
    // file is room enough for all of them.
    const BulkArena arena(static_cast<size_t>(in.Remaining()));
    Reader r(in, budget);
    ReadSceneResult result = ReadSceneResult::Read;
    try {
        const std::string magic = r.Str();
        const uint16_t major = r.U16();
        const uint16_t minor = r.U16();
        if (magic != "ZMVF") {
            result = ReadSceneResult::BadMagic;
        } else if (major != 1 || minor != 1) {
            result = ReadSceneResult::WrongVersion;
        } else {
            ReadBody(r, scene);
            const ReadExtrasResult read = ReadSceneExtras(in, scene, budget);
            if (extras) *extras = read;
        }
    } catch (const EndOfFile&) {
        result = ReadSceneResult::EndOfFile;
    }
    return KeptSafeToShow(scene, result);
}
