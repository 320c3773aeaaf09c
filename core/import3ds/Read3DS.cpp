#include "import3ds/Read3DS.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "import3ds/ChunkIds.h"
#include "import3ds/ImportReporter.h"
#include "import3ds/KeyframerNodes.h"
#include "import3ds/PlacedCopies.h"
#include "import3ds/SceneGeometry.h"
#include "scene/BulkMemory.h"
#include "scene/ByteOrder.h"
#include "scene/FiniteBounds.h"

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

// A face list a mesh's walk read: its chunk's offset and the object's triangles it gave.
struct FaceListRead {
    uint64_t start;
    size_t first;
    size_t count;
};

// A material group as read, its faces kept in one list for the whole mesh: most meshes name one
// material in all their groups and keep none, so each group getting a list of its own would only
// cost memory freshly asked of the system for every mesh.
struct GroupRead {
    std::string material;
    size_t begin, end;  // its faces in the mesh's list
};

class Reader {
public:
    Reader(InputStream& in, Scene& scene, ReadBudget& budget, ImportReporter* report)
        : m_in(in),
          m_scene(scene),
          m_budget(budget),
          m_report(report),
          m_firstObject(scene.m_objects.size()) {
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
                m_report->TopChunk(pos, header.id, header.length,
                                   header.id == chunk::kNamedObject ||
                                       header.id == chunk::kMaterial ||
                                       header.id == chunk::kKeyframer);
            if (header.id == chunk::kNamedObject)
                ReadNamedObject();
            else if (header.id == chunk::kMaterial)
                ReadMaterial(pos + header.length);
            else if (header.id == chunk::kKeyframer)
                ReadKeyframer(pos, header.length);
            pos += header.length;
        }
    }

    // The objects read get the copies the keyframer nodes place.
    void PlaceKeyframerCopies() {
        PlaceCopies(m_scene, m_firstObject, m_nodes, m_axes, m_budget, m_report);
    }

private:
    void ReadKeyframer(uint64_t start, uint32_t length) {
        const uint64_t end = std::min<uint64_t>(start + length, m_in.Size());
        std::vector<KeyframerNode> nodes =
            ReadKeyframerNodes(m_in, start + kHeaderSize, end, m_budget, m_report);
        for (KeyframerNode& node : nodes)
            m_nodes.push_back(std::move(node));
    }

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
                case chunk::kTextureMap1:
                    ReadTextureMap(pos, header.length, material);
                    break;
                case chunk::kTextureMap2:
                case chunk::kSpecularMap:
                case chunk::kOpacityMap:
                case chunk::kReflectionMap:
                case chunk::kBumpMap:
                case chunk::kShininessMap:
                case chunk::kSelfIlluminationMap:
                    if (m_report)
                        m_report->MapPassedOver(pos, header.id, header.length, material.name);
                    break;
                default:
                    if (m_report) m_report->Skipped(pos, header.id);
                    break;
            }
            pos += header.length;
        }
        m_scene.m_materials.push_back(std::move(material));
    }

    // Texture map 1: the material keeps it when it names a file.
    void ReadTextureMap(uint64_t start, uint32_t length, SceneMaterial& material) {
        TextureMap map;
        WalkMap(start, length, material.name, map);
        if (map.fileName.empty() || !m_budget.Keep(ReadBudget::HeapBytes(map.fileName))) return;
        material.textureMap = std::move(map);
    }

    // The sub-chunks of texture map 1 into map. A sub-chunk that runs past the map, or whose
    // value does not fit in it, ends the walk: what came before it stays.
    void WalkMap(uint64_t start, uint32_t length, const std::string& material, TextureMap& map) {
        const uint64_t end = start + length;
        for (uint64_t pos = start + kHeaderSize; pos < end;) {
            m_in.Seek(pos);
            ChunkHeader header;
            if (!ReadWalkHeader(header) || header.length > end - pos ||
                !ReadMapValue(header, pos + header.length, map)) {
                // A map that runs past the end of the file is noted where the file ends.
                if (m_report)
                    m_report->MapDamaged(std::min(pos, m_in.Size()), chunk::kTextureMap1, material);
                return;
            }
            pos += header.length;
        }
    }

    // One sub-chunk of a map whose data ends at end; false when its value does not fit.
    bool ReadMapValue(const ChunkHeader& header, uint64_t end, TextureMap& map) {
        const uint64_t size = end - m_in.Tell();
        switch (header.id) {
            case chunk::kMapFileName: {
                std::string name;
                if (!ReadName(name) || m_in.Tell() > end) return false;
                map.fileName = std::move(name);
                return true;
            }
            case chunk::kPercentInt: {
                int16_t p;
                if (size < 2 || !m_in.ReadI16(p)) return false;
                map.strength = Percent(p);
                return true;
            }
            case chunk::kPercentFloat:
                if (size < 4 || !m_in.ReadF32(map.strength)) return false;
                map.strength = static_cast<float>(map.strength * 0.01);
                return true;
            case chunk::kMapTiling:
                return size >= 2 && m_in.ReadU16(map.tiling);
            case chunk::kMapUScale:
                return size >= 4 && m_in.ReadF32(map.uScale);
            case chunk::kMapVScale:
                return size >= 4 && m_in.ReadF32(map.vScale);
            case chunk::kMapUOffset:
                return size >= 4 && m_in.ReadF32(map.uOffset);
            case chunk::kMapVOffset:
                return size >= 4 && m_in.ReadF32(map.vOffset);
            case chunk::kMapRotation:
                return size >= 4 && m_in.ReadF32(map.rotation);
            default:
                if (m_report) m_report->Skipped(m_in.Tell() - kHeaderSize, header.id);
                return true;
        }
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

        const uint64_t meshStart = m_in.Tell() - kHeaderSize;
        const uint64_t meshEnd = meshStart + meshLength;
        m_faceLists.clear();
        m_meshAxes.reset();
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
                case chunk::kVertexList: {
                    const size_t first = object.vertices.size();
                    more = ReadVertexList(object);
                    if (!more && m_report) m_report->ListCutShort(start, header.id, name);
                    if (m_report) ReportNotFinite(object, first, start, name);
                    break;
                }
                case chunk::kFaceList:
                    if (m_report) m_report->FaceList(object.meshes.size(), start + kHeaderSize + 2);
                    m_faceLists.push_back({start, object.meshes.size(), 0});
                    more = ReadFaceList(object);
                    m_faceLists.back().count = object.meshes.size() - m_faceLists.back().first;
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
                case chunk::kMappingCoords:  // read by the walk of ReadMeshExtras
                case chunk::kSmoothGroups:
                    m_in.Seek(start + header.length);
                    break;
                case chunk::kLocalAxes:
                    ReadLocalAxes(header.length);
                    m_in.Seek(start + header.length);
                    break;
                case chunk::kVertexFlags:
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
        ReadMeshExtras(object, meshStart, meshEnd);
        if (m_report) m_report->DroppedTriangles(object);
        KeepFaceGroups(object);
        KeepSmoothingGroups(object);
        FinishObject(object);
        m_scene.m_objects.push_back(std::move(object));
        m_axes.push_back(m_meshAxes);
    }

    // The mesh's own matrix: its x, y and z axes and its origin, which places its vertices for
    // the keyframer. Too short a chunk leaves the mesh without one.
    void ReadLocalAxes(uint32_t length) {
        const uint8_t* p;
        if (length < kHeaderSize + 48 || !m_in.ReadSpan(48, p) || !m_budget.Look(48)) return;
        Matrix4 m = IdentityMatrix();
        for (int column = 0; column < 4; ++column)
            for (int row = 0; row < 3; ++row)
                m[4 * column + row] = LoadF32(p + 12 * column + 4 * row);
        m_meshAxes = m;
    }

    // The mesh's mapping coordinates and the material groups of its face lists, by a walk of
    // their own over the mesh's chunks and the chunks nested in each face list that the walk
    // above read. The groups go to m_groups with the indices the triangles have before any are
    // dropped; the coordinates stay only when there is one pair per vertex.
    void ReadMeshExtras(SceneObject& object, uint64_t meshStart, uint64_t meshEnd) {
        m_groups.clear();
        m_groupFaces.clear();
        m_smoothing.clear();
        m_hasSmoothing = false;
        const uint64_t end = std::min(meshEnd, m_in.Size());
        std::optional<uint64_t> uvStart;  // the first mapping coordinates chunk, when any
        bool uvsBroken = false;
        for (uint64_t pos = meshStart + kHeaderSize; pos < end;) {
            m_in.Seek(pos);
            ChunkHeader header;
            if (!ReadWalkHeader(header)) break;
            const uint64_t chunkEnd = std::min<uint64_t>(pos + header.length, end);
            if (header.id == chunk::kMappingCoords && !uvsBroken) {
                if (!uvStart) uvStart = pos;
                uvsBroken = !ReadUvList(object, chunkEnd);
                if (uvsBroken && m_report)
                    m_report->ListCutShort(pos, chunk::kMappingCoords, object.name);
            } else if (header.id == chunk::kFaceList) {
                // The mesh's walk only moves forward, so its face lists are in file order.
                const auto list = std::lower_bound(
                    m_faceLists.begin(), m_faceLists.end(), pos,
                    [](const FaceListRead& l, uint64_t offset) { return l.start < offset; });
                if (list != m_faceLists.end() && list->start == pos)
                    ReadFaceGroups(object, *list, chunkEnd);
            }
            pos += header.length;
        }
        if (uvsBroken) {
            UvList().swap(object.uvs);
        } else if (uvStart && object.uvs.size() != object.vertices.size()) {
            if (m_report)
                m_report->UvCountMismatch(*uvStart, object.name, object.uvs.size(),
                                          object.vertices.size());
            UvList().swap(object.uvs);
        }
    }

    bool ReadUvList(SceneObject& object, uint64_t end) {
        uint16_t n;
        const uint8_t* p;
        if (!m_in.ReadU16(n) || m_in.Tell() + size_t{n} * 8 > end ||
            !m_in.ReadSpan(size_t{n} * 8, p) || !m_budget.Look(2 + size_t{n} * 8) ||
            !m_budget.Keep(size_t{n} * sizeof(SceneUv)))
            return false;
        const size_t first = object.uvs.size();
        object.uvs.resize(first + n);
        for (size_t i = 0; i < n; ++i, p += 8)
            object.uvs[first + i] = SceneUv{LoadF32(p), LoadF32(p + 4)};
        return true;
    }

    // The material groups nested in a face list after its faces, up to end. A group cut short
    // ends the list's groups; a face outside the list is passed over.
    void ReadFaceGroups(const SceneObject& object, const FaceListRead& list, uint64_t end) {
        uint64_t pos = list.start + kHeaderSize + 2 + uint64_t{list.count} * 8;
        uint16_t n;
        m_in.Seek(list.start + kHeaderSize);
        if (!m_in.ReadU16(n) || n != list.count) return;
        while (pos < end) {
            m_in.Seek(pos);
            ChunkHeader header;
            if (!ReadWalkHeader(header)) break;
            const uint64_t groupEnd = std::min<uint64_t>(pos + header.length, end);
            if (header.id == chunk::kSmoothGroups) {
                ReadSmoothingGroups(object, list, pos, header.length, end);
                pos += header.length;
                continue;
            }
            if (header.id == chunk::kFaceMaterial && !ReadFaceGroup(object, list, pos, groupEnd)) {
                if (m_report) m_report->ListCutShort(pos, chunk::kFaceMaterial, object.name);
                break;
            }
            pos += header.length;
        }
    }

    // A face list's smoothing groups: one mask for each of its faces, exactly; a chunk of another
    // length, or one its list does not hold, is noted and passed over.
    void ReadSmoothingGroups(const SceneObject& object, const FaceListRead& list, uint64_t start,
                             uint32_t length, uint64_t end) {
        const uint64_t bytes = 4 * uint64_t{list.count};
        const uint8_t* p;
        if (length != kHeaderSize + bytes || start + length > end ||
            !m_in.ReadSpan(static_cast<size_t>(bytes), p) || !m_budget.Look(bytes) ||
            !m_budget.Keep(bytes)) {
            if (m_report)
                m_report->SmoothingMismatch(start, object.name, (length - kHeaderSize) / 4,
                                            list.count);
            return;
        }
        m_smoothing.resize(object.meshes.size(), 0);
        for (size_t i = 0; i < list.count; ++i)
            m_smoothing[list.first + i] = LoadU32(p + 4 * i);
        m_hasSmoothing = true;
    }

    bool ReadFaceGroup(const SceneObject& object, const FaceListRead& list, uint64_t start,
                       uint64_t end) {
        GroupRead group;
        uint16_t n;
        const uint8_t* p;
        if (!ReadName(group.material) || !m_in.ReadU16(n) || m_in.Tell() + size_t{n} * 2 > end ||
            !m_in.ReadSpan(size_t{n} * 2, p) || !m_budget.Look(2 + size_t{n} * 2) ||
            !m_budget.Keep(sizeof(FaceGroup) + ReadBudget::HeapBytes(group.material) +
                           size_t{n} * 4))
            return false;
        // Faces outside the list are passed over, the first of them noted.
        group.begin = m_groupFaces.size();
        m_groupFaces.resize(group.begin + n);
        uint32_t* const faces = m_groupFaces.data() + group.begin;
        const uint32_t first = static_cast<uint32_t>(list.first);
        const size_t count = list.count;
        size_t kept = 0, outside = n;
        for (size_t i = 0; i < n; ++i) {
            const uint16_t face = LoadU16(p + 2 * i);
            if (face < count)
                faces[kept++] = first + face;
            else if (outside == n)
                outside = i;
        }
        m_groupFaces.resize(group.begin + kept);
        if (outside < n && m_report)
            m_report->GroupFaceOutside(start, object.name, group.material, LoadU16(p + 2 * outside),
                                       list.count);
        group.end = m_groupFaces.size();
        m_groups.push_back(std::move(group));
        return true;
    }

    // The object keeps the groups read when their faces use two or more materials: each
    // triangle in the last group that names it, indexed as it will be once FinishObject has
    // dropped the triangles with a corner outside the vertices.
    void KeepFaceGroups(SceneObject& object) {
        const auto differs = [](const std::string& first) {
            return [&first](const auto& g) { return g.material != first; };
        };
        if (m_groups.empty() ||
            std::none_of(m_groups.begin(), m_groups.end(), differs(m_groups.front().material)))
            return;
        const size_t faceCount = object.meshes.size();
        std::vector<int32_t> owner(faceCount, -1);
        for (size_t g = 0; g < m_groups.size(); ++g)
            for (size_t f = m_groups[g].begin; f < m_groups[g].end; ++f)
                owner[m_groupFaces[f]] = static_cast<int32_t>(g);
        std::vector<FaceGroup> groups(m_groups.size());
        for (size_t g = 0; g < m_groups.size(); ++g)
            groups[g].material = std::move(m_groups[g].material);
        const size_t vertexCount = object.vertices.size();
        uint32_t kept = 0;
        for (size_t i = 0; i < faceCount; ++i) {
            const SceneMesh& m = object.meshes[i];
            if (m.a >= vertexCount || m.b >= vertexCount || m.c >= vertexCount) continue;
            if (owner[i] >= 0) groups[static_cast<size_t>(owner[i])].faces.push_back(kept);
            ++kept;
        }
        groups.erase(std::remove_if(groups.begin(), groups.end(),
                                    [](const FaceGroup& g) { return g.faces.empty(); }),
                     groups.end());
        if (groups.empty() ||
            std::none_of(groups.begin(), groups.end(), differs(groups.front().material)))
            return;
        object.faceGroups = std::move(groups);
    }

    // The object keeps the masks read, of the triangles FinishObject keeps.
    void KeepSmoothingGroups(SceneObject& object) {
        if (!m_hasSmoothing) return;
        const size_t vertexCount = object.vertices.size();
        object.smoothingGroups.reserve(object.meshes.size());
        for (size_t i = 0; i < object.meshes.size(); ++i) {
            const SceneMesh& m = object.meshes[i];
            if (m.a >= vertexCount || m.b >= vertexCount || m.c >= vertexCount) continue;
            object.smoothingGroups.push_back(m_smoothing[i]);
        }
        if (object.smoothingGroups.empty()) std::vector<uint32_t>().swap(object.smoothingGroups);
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

    // For --check: the vertices from first on that the view cannot place.
    [[gnu::cold]] void ReportNotFinite(const SceneObject& object, size_t first, uint64_t start,
                                       const std::string& name) {
        const auto notFinite = static_cast<size_t>(std::count_if(
            object.vertices.begin() + static_cast<std::ptrdiff_t>(first), object.vertices.end(),
            [](const SceneVertex& v) {
                return !std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z);
            }));
        if (notFinite > 0)
            m_report->VerticesNotFinite(start, name, notFinite, object.vertices.size() - first);
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
        // The vertices stay as read; the view frames the finite ones.
        MendObjectBounds(object);
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
    ImportReporter* m_report;                    // null unless someone listens for the import notes
    std::vector<FaceListRead> m_faceLists;       // of the mesh being read
    std::vector<GroupRead> m_groups;             // of the mesh being read
    std::vector<uint32_t> m_groupFaces;          // their faces, the list kept from mesh to mesh
    std::vector<uint32_t> m_smoothing;           // the mesh's masks, one a triangle, 0 where unread
    bool m_hasSmoothing = false;                 // whether any face list of the mesh gave its masks
    std::optional<Matrix4> m_meshAxes;           // the mesh's own matrix, where it gives one
    const size_t m_firstObject;                  // the first object this reader adds
    std::vector<std::optional<Matrix4>> m_axes;  // the own matrix of each object added
    std::vector<KeyframerNode> m_nodes;          // the keyframer's object nodes
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
    Reader reader(file, scene, budget, report ? &*report : nullptr);
    reader.Walk(kEditorOffset + kHeaderSize);
    reader.PlaceKeyframerCopies();

    for (SceneObject& object : scene.m_objects) {
        ComputeNormals(object);
    }
    ComputeSceneBounds(scene);
    return Read3dsResult::Read;
}
