#include "import3ds/Read3DS.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "import3ds/ChunkIds.h"
#include "import3ds/ImportReporter.h"
#include "import3ds/SceneGeometry.h"
#include "scene/BulkMemory.h"
#include "scene/ByteOrder.h"

namespace {

constexpr uint64_t kHeaderSize = 6;
constexpr uint64_t kEditorOffset = 16;

struct ChunkHeader {
    uint16_t id = 0;
    uint32_t length = 0;
};

bool ReadHeader(InputStream& in, ChunkHeader& header) {
    return in.ReadU16(header.id) && in.ReadU32(header.length);
}

// Stretches the object's bounds over one more vertex; the first vertex sets them.
void IncludeInBounds(SceneObject& o, const SceneVertex& v, bool first) {
    if (first) {
        o.maxX = o.minX = v.x;
        o.maxY = o.minY = v.y;
        o.maxZ = o.minZ = v.z;
        return;
    }
    if (v.x > o.maxX) o.maxX = v.x;
    if (v.x < o.minX) o.minX = v.x;
    if (v.y > o.maxY) o.maxY = v.y;
    if (v.y < o.minY) o.minY = v.y;
    if (v.z > o.maxZ) o.maxZ = v.z;
    if (v.z < o.minZ) o.minZ = v.z;
}

// 3DS percentages become fractions: p x 0.01, computed in double and stored as float.
float Percent(int p) {
    return static_cast<float>(static_cast<double>(p) * 0.01);
}

class Reader {
public:
    Reader(InputStream& in, Scene& scene, ReadBudget& budget, ImportReporter* report)
        : m_in(in), m_scene(scene), m_budget(budget), m_report(report) {
        const std::vector<std::string>& names = m_scene.m_materialNames;
        for (size_t i = 0; i < names.size(); ++i)
            m_materialByName[names[i]] = static_cast<int32_t>(i);
    }

    void Walk(uint64_t from) {
        const uint64_t size = m_in.Size();
        uint64_t pos = from;
        while (pos < size) {
            m_in.Seek(pos);
            ChunkHeader header;
            if (!ReadWalkHeader(header)) {
                if (m_report) m_report->WalkEnded(pos);
                break;
            }
            if (m_report)
                m_report->TopChunk(
                    pos, header.id, header.length,
                    header.id == chunk::kNamedObject || header.id == chunk::kMaterial);
            if (header.id == chunk::kNamedObject)
                ReadNamedObject();
            else if (header.id == chunk::kMaterial)
                ReadMaterial(pos + header.length);
            pos += header.length;
        }
    }

private:
    // Reads the header at the current position; false at the end of the file, for a chunk too
    // short to hold its own header and once the budget is spent, any of which ends the walk that
    // asked. Every walk asks here, so a spent budget ends them all.
    bool ReadWalkHeader(ChunkHeader& header) {
        return m_budget.Look(kHeaderSize) && ReadHeader(m_in, header) &&
               header.length >= kHeaderSize;
    }

    // A name up to its zero byte, counted as looked at; false as at the end of the file once
    // the budget is spent.
    bool ReadName(std::string& name) {
        const uint64_t from = m_in.Tell();
        const bool read = m_in.ReadCString(name);
        return m_budget.Look(m_in.Tell() - from) && read;
    }

    void ReadMaterial(uint64_t end) {
        SceneMaterial material;
        // A file without a transparency chunk means an opaque material.
        material.transparency = 1.0f;
        const uint64_t start = m_in.Tell() - kHeaderSize;
        // The first sub-chunk is taken to be the name chunk; its header is not looked at.
        if (!m_in.Skip(kHeaderSize) || !ReadName(material.name)) {
            if (m_report) m_report->RecordCutShort(start, chunk::kMaterial, material.name);
            return;
        }
        if (m_report) m_report->MaterialName(start, material.name);
        // The material, its entry in the names and in the lookup by name.
        const uint64_t nameBytes = ReadBudget::HeapBytes(material.name);
        if (!m_budget.Keep(sizeof(SceneMaterial) + sizeof(std::string) + 64 + 3 * nameBytes))
            return;
        m_materialByName[material.name] = static_cast<int32_t>(m_scene.m_materialNames.size());
        m_scene.m_materialNames.push_back(material.name);

        for (uint64_t pos = m_in.Tell(); pos < end;) {
            m_in.Seek(pos);
            ChunkHeader header;
            if (!ReadWalkHeader(header)) {
                if (m_report) m_report->WalkEnded(pos);
                break;
            }
            if (m_report) m_report->CheckLength(pos, header.id, header.length, end);
            switch (header.id) {
                case chunk::kAmbient:
                    ReadColorByteChunk(material.ambient);
                    break;
                case chunk::kDiffuse:
                    ReadColorByteChunk(material.diffuse);
                    break;
                case chunk::kSpecular:
                    ReadColorByteChunk(material.specular);
                    break;
                case chunk::kShininess: {
                    int16_t p;
                    if (m_in.Skip(kHeaderSize) && m_in.ReadI16(p)) material.shininess = Percent(p);
                    break;
                }
                case chunk::kTransparency: {
                    int16_t p;
                    if (m_in.Skip(kHeaderSize) && m_in.ReadI16(p))
                        material.transparency = Percent(100 - p);
                    break;
                }
                default:
                    if (m_report) m_report->Skipped(pos, header.id);
                    break;
            }
            pos += header.length;
        }
        m_scene.m_materials.push_back(std::move(material));
    }

    // A colour chunk of a material, taken to hold a byte colour chunk first.
    void ReadColorByteChunk(RGB8& color) {
        uint8_t rgb[3];
        if (m_in.Skip(kHeaderSize) && m_in.Read(rgb, 3)) color = RGB8{rgb[0], rgb[1], rgb[2]};
    }

    // Only the first sub-chunk after the name decides what the named object is. Kept out of
    // line: inlined into the walk, the mesh's list loops compile to some 6% more instructions.
    [[gnu::noinline]] void ReadNamedObject() {
        const uint64_t objectStart = m_in.Tell() - kHeaderSize;
        std::string name;
        if (!ReadName(name)) {
            if (m_report) m_report->RecordCutShort(objectStart, chunk::kNamedObject, name);
            return;
        }
        const uint64_t start = m_in.Tell();
        ChunkHeader header;
        if (!ReadWalkHeader(header)) {
            if (m_report) m_report->EmptyNamedObject(objectStart, 0, name);
            return;
        }
        if (m_report) m_report->ObjectChunk(start, header.id, header.length);
        switch (header.id) {
            case chunk::kTriangleMesh:
                ReadMesh(name, header.length);
                break;
            case chunk::kLight:
                ReadLight(name, start + header.length);
                break;
            case chunk::kCamera:
                ReadCamera(name);
                break;
            default:
                if (m_report) m_report->EmptyNamedObject(objectStart, header.id, name);
                break;
        }
    }

    // The sub-chunks are read one after another while the sum of their lengths stays below the
    // mesh's length, which also counts the mesh's own 6-byte header. A face list is not skipped,
    // so the chunk nested in it right after the face data (usually its first material group) is
    // read as the mesh's next sub-chunk; when the face list comes last, that chunk's length
    // brings the sum to the mesh length or past it, and the loop ends. An unknown chunk is entered:
    // its contents are read as if they were further sub-chunks.
    void ReadMesh(const std::string& name, uint32_t meshLength) {
        if (!m_budget.Keep(sizeof(SceneObject) + 2 * ReadBudget::HeapBytes(name))) return;
        SceneObject object;
        object.name = name;
        object.note = name;
        object.noteColor = RGB8{127, 192, 192};

        const uint64_t meshEnd = m_in.Tell() - kHeaderSize + meshLength;
        uint32_t sum = 0;
        bool more = true;
        while (more && sum < meshLength) {
            const uint64_t start = m_in.Tell();
            ChunkHeader header;
            if (!ReadWalkHeader(header)) {
                if (m_report) m_report->MeshEnded(start, meshEnd, name);
                break;
            }
            if (m_report) m_report->MeshChunk(start, header.id, header.length, meshEnd, name);
            sum += header.length;
            switch (header.id) {
                case chunk::kVertexList:
                    more = ReadVertexList(object);
                    if (!more && m_report) m_report->ListCutShort(start, header.id, name);
                    break;
                case chunk::kFaceList:
                    if (m_report) m_report->FaceList(object.meshes.size(), start + kHeaderSize + 2);
                    more = ReadFaceList(object);
                    if (!more && m_report) m_report->ListCutShort(start, header.id, name);
                    break;
                case chunk::kFaceMaterial:
                    more = ReadFaceMaterial(object);
                    if (m_report) {
                        if (more)
                            m_report->MaterialGroup(start, object.materialName);
                        else
                            m_report->ListCutShort(start, header.id, name);
                    }
                    m_in.Seek(start + header.length);
                    break;
                case chunk::kVertexFlags:
                case chunk::kMappingCoords:
                case chunk::kSmoothGroups:
                case chunk::kLocalAxes:
                case chunk::kMeshColor:
                case chunk::kTextureInfo:
                    if (m_report) m_report->Skipped(start, header.id);
                    m_in.Seek(start + header.length);
                    break;
                default:
                    if (m_report) m_report->UnknownMeshChunk(start, header.id, name);
                    break;
            }
        }
        if (m_report) m_report->DroppedTriangles(object);
        FinishObject(object);
        m_scene.m_objects.push_back(std::move(object));
    }

    // A list chunk's contents: a 16-bit count, then that many items of itemSize bytes each.
    // Appends the decoded items to list and sets count; false, with nothing added, when the
    // file ends first or the budget would be passed. A mesh may hold many lists: the list grows
    // by half its size at least, so that appending stays linear.
    template <class List, class Decode>
    bool AppendList(size_t itemSize, List& list, int32_t& count, Decode decode) {
        using Item = typename List::value_type;
        uint16_t n;
        const uint8_t* p;
        if (!m_in.ReadU16(n) || !m_in.ReadSpan(size_t{n} * itemSize, p)) return false;
        if (!m_budget.Look(2 + size_t{n} * itemSize) || !m_budget.Keep(size_t{n} * sizeof(Item)))
            return false;
        count = n;
        const size_t first = list.size();
        if (list.capacity() - first < n) list.reserve(std::max(first + n, first + first / 2));
        // Each item is decoded into its place. Built on the stack field by field and then copied
        // whole, a record was read back in one piece straight after its small writes, which the
        // processor cannot pass on from its store buffer: that stall took half the import.
        list.resize(first + n);
        Item* items = list.data() + first;
        for (size_t i = 0; i < n; ++i, p += itemSize)
            decode(p, items[i], first + i == 0);
        return true;
    }

    bool ReadVertexList(SceneObject& object) {
        return AppendList(12, object.vertices, object.vertexCount,
                          [&object](const uint8_t* p, SceneVertex& v, bool first) {
                              v.x = LoadF32(p);
                              v.y = LoadF32(p + 4);
                              v.z = LoadF32(p + 8);
                              IncludeInBounds(object, v, first);
                          });
    }

    bool ReadFaceList(SceneObject& object) {
        return AppendList(8, object.meshes, object.meshCount,
                          [](const uint8_t* p, SceneMesh& mesh, bool) {
                              mesh.a = LoadU16(p);
                              mesh.b = LoadU16(p + 2);
                              mesh.c = LoadU16(p + 4);
                              mesh.flags = LoadU16(p + 6);
                          });
    }

    // The object takes the named material; of equal names the last one wins.
    bool ReadFaceMaterial(SceneObject& object) {
        std::string name;
        if (!ReadName(name) || !m_budget.Keep(ReadBudget::HeapBytes(name))) return false;
        const auto found = m_materialByName.find(name);
        if (found != m_materialByName.end()) object.materialIndex = found->second;
        object.materialName = std::move(name);
        return true;
    }

    // Triangles are judged once the whole mesh is known, since a face list may come before its
    // vertex list: a corner outside the vertices would make the view read outside them.
    static void FinishObject(SceneObject& object) {
        const size_t vertexCount = object.vertices.size();
        auto outside = [vertexCount](const SceneMesh& m) {
            return m.a >= vertexCount || m.b >= vertexCount || m.c >= vertexCount;
        };
        MeshList& meshes = object.meshes;
        meshes.erase(std::remove_if(meshes.begin(), meshes.end(), outside), meshes.end());
        object.vertexCount = static_cast<int32_t>(vertexCount);
        object.meshCount = static_cast<int32_t>(meshes.size());
        object.centerX = (object.minX + object.maxX) * 0.5f;
        object.centerY = (object.minY + object.maxY) * 0.5f;
        object.centerZ = (object.minZ + object.maxZ) * 0.5f;
    }

    void ReadLight(const std::string& name, uint64_t end) {
        if (!m_budget.Keep(sizeof(SceneLight) + ReadBudget::HeapBytes(name))) return;
        SceneLight light;
        light.name = name;
        const uint64_t lightStart = m_in.Tell() - kHeaderSize;
        if (!m_in.ReadF32(light.x) || !m_in.ReadF32(light.y) || !m_in.ReadF32(light.z)) {
            if (m_report) m_report->RecordCutShort(lightStart, chunk::kLight, name);
            return;
        }

        // The colour is the first float or byte colour chunk inside the light.
        for (uint64_t pos = m_in.Tell(); pos < end;) {
            m_in.Seek(pos);
            ChunkHeader header;
            if (!ReadWalkHeader(header)) break;
            if (header.id == chunk::kColorFloat) {
                uint8_t b[12];
                if (m_in.Read(b, 12)) {
                    for (int i = 0; i < 3; ++i)
                        light.color[i] = LoadF32(b + 4 * i);
                }
                break;
            }
            if (header.id == chunk::kColorBytes) {
                uint8_t b[3];
                if (m_in.Read(b, 3)) {
                    light.color24 = RGB8{b[0], b[1], b[2]};
                    for (int i = 0; i < 3; ++i)
                        light.color[i] = b[i] * 0.00390625f;
                }
                break;
            }
            if (m_report) m_report->Skipped(pos, header.id);
            pos += header.length;
        }
        light.on = 1;
        m_scene.m_lights.push_back(std::move(light));
        if (m_report) m_report->Light(lightStart, name, m_scene.m_lights.size());
    }

    // The file holds the eye, the target, then roll before lens.
    void ReadCamera(const std::string& name) {
        uint8_t b[32];
        if (!m_in.Read(b, sizeof b)) {
            if (m_report) m_report->RecordCutShort(m_in.Tell() - kHeaderSize, chunk::kCamera, name);
            return;
        }
        if (!m_budget.Keep(sizeof(SceneCamera) + ReadBudget::HeapBytes(name))) return;
        SceneCamera camera;
        camera.name = name;
        camera.posX = LoadF32(b);
        camera.posY = LoadF32(b + 4);
        camera.posZ = LoadF32(b + 8);
        camera.targetX = LoadF32(b + 12);
        camera.targetY = LoadF32(b + 16);
        camera.targetZ = LoadF32(b + 20);
        camera.roll = LoadF32(b + 24);
        camera.lens = LoadF32(b + 28);
        m_scene.m_cameras.push_back(std::move(camera));
    }

    InputStream& m_in;
    Scene& m_scene;
    ReadBudget& m_budget;
    // The index of each material name; a later material of the same name replaces the earlier.
    std::unordered_map<std::string, int32_t> m_materialByName;
    ImportReporter* m_report;  // null unless someone listens for the import notes
};

}  // namespace

Read3dsResult Read3DS(InputStream& file, Scene& scene, ImportListener* listener) {
    ReadBudget budget(file.Size());
    return Read3DS(file, scene, budget, listener);
}

Read3dsResult Read3DS(InputStream& file, Scene& scene, ReadBudget& budget,
                      ImportListener* listener) {
    if (file.Size() < 7) return Read3dsResult::TooShort;

    ChunkHeader header;
    file.Seek(0);
    if (!ReadHeader(file, header) || header.id != chunk::kMain || header.length != file.Size())
        return Read3dsResult::BadMainChunk;
    // The editor chunk is expected right after the usual 10-byte version chunk.
    file.Seek(kEditorOffset);
    if (!ReadHeader(file, header) || header.id != chunk::kEditor)
        return Read3dsResult::NoEditorChunk;

    // A vertex of 12 bytes in the file takes 24 in memory and a face of 8 takes 20: three times
    // the file is room for all of them.
    const BulkArena arena(static_cast<size_t>(std::min<uint64_t>(file.Size(), SIZE_MAX / 3) * 3));
    std::optional<ImportReporter> report;
    if (listener) {
        report.emplace(*listener, file);
        report->Editor(kEditorOffset, header.length);
    }
    // The walk starts inside the editor chunk and runs on to the end of the file, so chunks
    // after the editor chunk are visited at the same level.
    Reader(file, scene, budget, report ? &*report : nullptr).Walk(kEditorOffset + kHeaderSize);

    for (SceneObject& object : scene.m_objects) {
        ComputeFaceNormals(object);
        ComputeVertexNormals(object);
    }
    ComputeSceneBounds(scene);
    return Read3dsResult::Read;
}
