#include "export3ds/Write3DS.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "export3ds/ChunkWriter.h"
#include "import3ds/ChunkIds.h"

namespace {

constexpr size_t kObjectNameBytes = 10;
constexpr size_t kMaterialNameBytes = 16;
constexpr size_t kMaxFaces = 65535;

// Names cut to a length, each cut one unique among those of its kind.
class CutNames {
public:
    explicit CutNames(size_t most) : m_most(most) {}
    const std::string& Of(const std::string& name) {
        const auto known = m_cut.find(name);
        if (known != m_cut.end()) return known->second;
        std::string cut = name.substr(0, m_most);
        for (int n = 1; m_used.count(cut); ++n) {
            const std::string number = std::to_string(n);
            cut = name.substr(0, m_most - std::min(m_most, number.size())) + number;
        }
        if (cut != name) ++m_changed;
        m_used.insert(cut);
        return m_cut.emplace(name, cut).first->second;
    }
    size_t Changed() const { return m_changed; }

private:
    size_t m_most;
    std::map<std::string, std::string> m_cut;
    std::set<std::string> m_used;
    size_t m_changed = 0;
};

int16_t Percent(float fraction) {
    return static_cast<int16_t>(std::lround(std::clamp(fraction, -327.0f, 327.0f) * 100.0f));
}

class Writer {
public:
    explicit Writer(const Scene& scene) : m_scene(scene) {}

    std::vector<uint8_t> Write(std::vector<std::string>& notes) {
        m_out.Open(chunk::kMain);
        m_out.Open(chunk::kVersion);
        m_out.U32(3);
        m_out.Close();
        m_out.Open(chunk::kEditor);
        m_out.Open(chunk::kMeshVersion);
        m_out.U32(3);
        m_out.Close();
        for (const SceneMaterial& m : m_scene.m_materials)
            WriteMaterial(m);
        for (const SceneObject& o : m_scene.m_objects)
            WriteObject(o);
        for (const SceneLight& l : m_scene.m_lights)
            WriteLight(l);
        for (const SceneCamera& c : m_scene.m_cameras)
            WriteCamera(c);
        m_out.Close();
        WriteKeyframer();
        m_out.Close();
        const size_t cut = m_objectNames.Changed() + m_materialNames.Changed();
        if (cut)
            notes.push_back(std::to_string(cut) + (cut == 1 ? " name" : " names") +
                            " cut to what 3D Studio allows");
        return m_out.Take();
    }

private:
    void Color(uint16_t id, const RGB8& c) {
        m_out.Open(id);
        m_out.Open(chunk::kColorBytes);
        m_out.U8(c.red), m_out.U8(c.green), m_out.U8(c.blue);
        m_out.Close();
        m_out.Close();
    }
    void PercentChunk(uint16_t id, float fraction) {
        m_out.Open(id);
        m_out.Open(chunk::kPercentInt);
        m_out.I16(Percent(fraction));
        m_out.Close();
        m_out.Close();
    }
    void Float(uint16_t id, float v) {
        m_out.Open(id);
        m_out.F32(v);
        m_out.Close();
    }

    // A named object's chunk, open for what it holds; its name cut to the format's.
    void OpenNamedObject(const std::string& name) {
        m_out.Open(chunk::kNamedObject);
        m_out.Name(m_objectNames.Of(name));
    }

    void WriteMaterial(const SceneMaterial& m) {
        m_out.Open(chunk::kMaterial);
        m_out.Open(chunk::kMaterialName);
        m_out.Name(m_materialNames.Of(m.name));
        m_out.Close();
        Color(chunk::kAmbient, m.ambient);
        Color(chunk::kDiffuse, m.diffuse);
        Color(chunk::kSpecular, m.specular);
        PercentChunk(chunk::kShininess, m.shininess);
        PercentChunk(chunk::kTransparency, 1.0f - m.transparency);
        if (m.textureMap) {
            const TextureMap& map = *m.textureMap;
            m_out.Open(chunk::kTextureMap1);
            m_out.Open(chunk::kPercentInt);
            m_out.I16(Percent(map.strength));
            m_out.Close();
            m_out.Open(chunk::kMapFileName);
            m_out.Name(map.fileName);
            m_out.Close();
            m_out.Open(chunk::kMapTiling);
            m_out.U16(map.tiling);
            m_out.Close();
            Float(chunk::kMapUScale, map.uScale);
            Float(chunk::kMapVScale, map.vScale);
            Float(chunk::kMapUOffset, map.uOffset);
            Float(chunk::kMapVOffset, map.vOffset);
            Float(chunk::kMapRotation, map.rotation);
            m_out.Close();
        }
        m_out.Close();
    }

    // The vertices, the mapping coordinates and the own matrix (none: vertices stand where they
    // are), then the face lists last, as the modelling program writes them.
    void WriteObject(const SceneObject& o) {
        OpenNamedObject(o.name);
        m_out.Open(chunk::kTriangleMesh);
        m_out.Open(chunk::kVertexList);
        m_out.U16(static_cast<uint16_t>(o.vertices.size()));
        for (const SceneVertex& v : o.vertices)
            m_out.F32(v.x), m_out.F32(v.y), m_out.F32(v.z);
        m_out.Close();
        if (!o.uvs.empty()) {
            m_out.Open(chunk::kMappingCoords);
            m_out.U16(static_cast<uint16_t>(o.uvs.size()));
            for (const SceneUv& uv : o.uvs)
                m_out.F32(uv.u), m_out.F32(uv.v);
            m_out.Close();
        }
        m_out.Open(chunk::kLocalAxes);
        for (float v : {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0})
            m_out.F32(v);
        m_out.Close();
        // Each face list's groups: the object's own material first, which the reader takes as
        // the object's, then the face groups.
        std::vector<int> groupOf(o.meshes.size(), -1);
        for (size_t g = 0; g < o.faceGroups.size(); ++g)
            for (uint32_t face : o.faceGroups[g].faces)
                if (face < groupOf.size()) groupOf[face] = static_cast<int>(g);
        for (size_t first = 0; first < o.meshes.size() || first == 0; first += kMaxFaces) {
            const size_t count = std::min(kMaxFaces, o.meshes.size() - first);
            m_out.Open(chunk::kFaceList);
            m_out.U16(static_cast<uint16_t>(count));
            for (size_t i = first; i < first + count; ++i) {
                const SceneMesh& m = o.meshes[i];
                m_out.U16(m.a), m_out.U16(m.b), m_out.U16(m.c), m_out.U16(m.flags);
            }
            for (int g = -1; g < static_cast<int>(o.faceGroups.size()); ++g) {
                std::vector<uint16_t> faces;
                for (size_t i = first; i < first + count; ++i)
                    if (groupOf[i] == g) faces.push_back(static_cast<uint16_t>(i - first));
                if (g >= 0 && faces.empty()) continue;
                m_out.Open(chunk::kFaceMaterial);
                m_out.Name(m_materialNames.Of(
                    g < 0 ? o.materialName : o.faceGroups[static_cast<size_t>(g)].material));
                m_out.U16(static_cast<uint16_t>(faces.size()));
                for (uint16_t face : faces)
                    m_out.U16(face);
                m_out.Close();
            }
            if (!o.smoothingGroups.empty()) {
                m_out.Open(chunk::kSmoothGroups);
                for (size_t i = first; i < first + count; ++i)
                    m_out.U32(o.smoothingGroups[i]);
                m_out.Close();
            }
            m_out.Close();
            if (o.meshes.empty()) break;
        }
        m_out.Close();
        m_out.Close();
    }

    void WriteLight(const SceneLight& l) {
        OpenNamedObject(l.name);
        m_out.Open(chunk::kLight);
        m_out.F32(l.x), m_out.F32(l.y), m_out.F32(l.z);
        // The byte colour where it is the colour the light lights with, else the floats.
        const RGB8& c = l.color24;
        const bool bytes = l.color[0] == c.red * 0.00390625f &&
                           l.color[1] == c.green * 0.00390625f &&
                           l.color[2] == c.blue * 0.00390625f;
        m_out.Open(bytes ? chunk::kColorBytes : chunk::kColorFloat);
        if (bytes)
            m_out.U8(c.red), m_out.U8(c.green), m_out.U8(c.blue);
        else
            m_out.F32(l.color[0]), m_out.F32(l.color[1]), m_out.F32(l.color[2]);
        m_out.Close();
        m_out.Close();
        m_out.Close();
    }

    void WriteCamera(const SceneCamera& c) {
        OpenNamedObject(c.name);
        m_out.Open(chunk::kCamera);
        for (float v : {c.posX, c.posY, c.posZ, c.targetX, c.targetY, c.targetZ, c.roll, c.lens})
            m_out.F32(v);
        m_out.Close();
        m_out.Close();
    }

    void Track(uint16_t id, std::initializer_list<float> value) {
        m_out.Open(id);
        m_out.U16(0), m_out.U32(0), m_out.U32(0), m_out.U32(1);
        m_out.U32(0), m_out.U16(0);
        for (float v : value)
            m_out.F32(v);
        m_out.Close();
    }

    // One node: its header, pivot and placement tracks at frame 0.
    void Node(uint16_t id, const std::string& name, const std::string& instance, const Matrix4& m) {
        m_out.Open(chunk::kObjectNode);
        m_out.Open(chunk::kNodeId);
        m_out.U16(id);
        m_out.Close();
        m_out.Open(chunk::kNodeHeader);
        m_out.Name(name);
        m_out.U16(0), m_out.U16(0), m_out.U16(0xFFFF);
        m_out.Close();
        if (!instance.empty()) {
            m_out.Open(chunk::kInstanceName);
            m_out.Name(instance);
            m_out.Close();
        }
        m_out.Open(chunk::kPivot);
        m_out.F32(0), m_out.F32(0), m_out.F32(0);
        m_out.Close();
        // The matrix as position, rotation and scale: each column's length is its scale.
        float scale[3];
        double r[3][3];
        for (int c = 0; c < 3; ++c) {
            scale[c] = std::sqrt(m[4 * c] * m[4 * c] + m[4 * c + 1] * m[4 * c + 1] +
                                 m[4 * c + 2] * m[4 * c + 2]);
            for (int row = 0; row < 3; ++row)
                r[row][c] = scale[c] > 0 ? m[4 * c + row] / scale[c] : (row == c ? 1 : 0);
        }
        const double determinant = r[0][0] * (r[1][1] * r[2][2] - r[1][2] * r[2][1]) -
                                   r[0][1] * (r[1][0] * r[2][2] - r[1][2] * r[2][0]) +
                                   r[0][2] * (r[1][0] * r[2][1] - r[1][1] * r[2][0]);
        if (determinant < 0) {  // a mirror: one scale turns negative
            scale[0] = -scale[0];
            for (int row = 0; row < 3; ++row)
                r[row][0] = -r[row][0];
        }
        // The axis and angle of r; the keyframer turns the other way about its axis.
        double axis[3] = {r[2][1] - r[1][2], r[0][2] - r[2][0], r[1][0] - r[0][1]};
        const double cosine = std::clamp((r[0][0] + r[1][1] + r[2][2] - 1) / 2, -1.0, 1.0);
        const double angle = std::acos(cosine);
        double length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
        if (length < 1e-9 && angle > 1.0) {
            // A half turn: the axis from the diagonal.
            for (int k = 0; k < 3; ++k)
                axis[k] = std::sqrt(std::max(0.0, (r[k][k] + 1) / 2));
            if (r[0][1] < 0) axis[1] = -axis[1];
            if (r[0][2] < 0) axis[2] = -axis[2];
            length = 1;
        }
        if (length < 1e-9) axis[0] = axis[1] = 0, axis[2] = 1, length = 1;
        Track(chunk::kPositionTrack, {m[12], m[13], m[14]});
        Track(chunk::kRotationTrack,
              {static_cast<float>(-angle), static_cast<float>(axis[0] / length),
               static_cast<float>(axis[1] / length), static_cast<float>(axis[2] / length)});
        Track(chunk::kScaleTrack, {scale[0], scale[1], scale[2]});
        m_out.Close();
    }

    // Written only for copies: each object that has some, then its copies.
    void WriteKeyframer() {
        const bool any = std::any_of(m_scene.m_objects.begin(), m_scene.m_objects.end(),
                                     [](const SceneObject& o) { return !o.copies.empty(); });
        if (!any) return;
        m_out.Open(chunk::kKeyframer);
        uint16_t id = 0;
        for (const SceneObject& o : m_scene.m_objects) {
            if (o.copies.empty()) continue;
            const std::string& name = m_objectNames.Of(o.name);
            Node(id++, name, "", IdentityMatrix());
            for (const PlacedCopy& copy : o.copies)
                Node(id++, name, copy.name, copy.matrix);
        }
        m_out.Close();
    }

    const Scene& m_scene;
    ChunkWriter m_out;
    CutNames m_objectNames{kObjectNameBytes};
    CutNames m_materialNames{kMaterialNameBytes};
};

}  // namespace

std::vector<uint8_t> Write3DS(const Scene& scene, std::vector<std::string>& notes) {
    return Writer(scene).Write(notes);
}
