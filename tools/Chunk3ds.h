// Builds 3D Studio files as bytes, chunk by chunk, through the core's little-endian writer.
// Chunk3ds composes a file from chunk values, for test fixtures and the bundled example scene: a
// chunk's length is computed from its contents unless a test sets a wrong one on purpose. The
// core's ChunkWriter writes a large file straight into one buffer, for the benchmark scene.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "export3ds/ChunkWriter.h"
#include "import3ds/ChunkIds.h"
#include "scene/ByteOrder.h"
#include "scene/OutputStream.h"

class Chunk3ds {
public:
    explicit Chunk3ds(uint16_t id) : m_id(id) {}

    Chunk3ds& U8(uint8_t v) {
        OutputStream(m_data).WriteU8(v);
        return *this;
    }
    Chunk3ds& U16(uint16_t v) {
        OutputStream(m_data).WriteU16(v);
        return *this;
    }
    Chunk3ds& I16(int16_t v) { return U16(static_cast<uint16_t>(v)); }
    Chunk3ds& U32(uint32_t v) {
        OutputStream(m_data).WriteU32(v);
        return *this;
    }
    Chunk3ds& F32(float v) {
        OutputStream(m_data).WriteF32(v);
        return *this;
    }
    // A name with its terminating zero byte.
    Chunk3ds& Name(const std::string& s) {
        OutputStream out(m_data);
        out.Write(s.data(), s.size());
        out.WriteU8(0);
        return *this;
    }
    Chunk3ds& Raw(const std::vector<uint8_t>& bytes) {
        OutputStream(m_data).Write(bytes.data(), bytes.size());
        return *this;
    }
    Chunk3ds& Add(const Chunk3ds& child) { return Raw(child.Bytes()); }
    // Writes this length into the header instead of the true one.
    Chunk3ds& Length(uint32_t length) {
        m_length = length;
        return *this;
    }

    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> bytes;
        bytes.reserve(m_data.size() + 6);
        OutputStream out(bytes);
        out.WriteU16(m_id);
        out.WriteU32(m_length ? *m_length : static_cast<uint32_t>(m_data.size() + 6));
        out.Write(m_data.data(), m_data.size());
        return bytes;
    }

private:
    uint16_t m_id;
    std::vector<uint8_t> m_data;
    std::optional<uint32_t> m_length;
};

namespace build3ds {

struct Vec3 {
    float x, y, z;
};
struct Face {
    uint16_t a, b, c, flags;
};
struct Rgb {
    uint8_t r, g, b;
};

// A byte colour chunk inside a material colour chunk (ambient, diffuse or specular).
inline Chunk3ds MaterialColor(uint16_t id, Rgb c) {
    return Chunk3ds(id).Add(Chunk3ds(chunk::kColorBytes).U8(c.r).U8(c.g).U8(c.b));
}

// A percentage chunk inside a material's shininess or transparency chunk.
inline Chunk3ds MaterialPercent(uint16_t id, int16_t percent) {
    return Chunk3ds(id).Add(Chunk3ds(chunk::kPercentInt).I16(percent));
}

inline Chunk3ds Material(const std::string& name, Rgb ambient, Rgb diffuse, Rgb specular,
                         int16_t shininess, std::optional<int16_t> transparency) {
    Chunk3ds m(chunk::kMaterial);
    m.Add(Chunk3ds(chunk::kMaterialName).Name(name));
    m.Add(MaterialColor(chunk::kAmbient, ambient));
    m.Add(MaterialColor(chunk::kDiffuse, diffuse));
    m.Add(MaterialColor(chunk::kSpecular, specular));
    m.Add(MaterialPercent(chunk::kShininess, shininess));
    if (transparency) m.Add(MaterialPercent(chunk::kTransparency, *transparency));
    return m;
}

inline Chunk3ds VertexList(const std::vector<Vec3>& vertices) {
    Chunk3ds list(chunk::kVertexList);
    list.U16(static_cast<uint16_t>(vertices.size()));
    for (const Vec3& v : vertices)
        list.F32(v.x).F32(v.y).F32(v.z);
    return list;
}

// A face list with its nested chunks (material groups, smoothing groups) after the faces.
inline Chunk3ds FaceList(const std::vector<Face>& faces, const std::vector<Chunk3ds>& nested) {
    Chunk3ds list(chunk::kFaceList);
    list.U16(static_cast<uint16_t>(faces.size()));
    for (const Face& f : faces)
        list.U16(f.a).U16(f.b).U16(f.c).U16(f.flags);
    for (const Chunk3ds& n : nested)
        list.Add(n);
    return list;
}

// A material group naming the material of the listed faces.
inline Chunk3ds FaceMaterial(const std::string& material, size_t faceCount) {
    Chunk3ds group(chunk::kFaceMaterial);
    group.Name(material).U16(static_cast<uint16_t>(faceCount));
    for (size_t i = 0; i < faceCount; ++i)
        group.U16(static_cast<uint16_t>(i));
    return group;
}

// A named object holding a triangle mesh with a vertex list and a face list, whose first
// material group names material (none when empty).
inline Chunk3ds MeshObject(const std::string& name, const std::vector<Vec3>& vertices,
                           const std::vector<Face>& faces, const std::string& material) {
    std::vector<Chunk3ds> nested;
    if (!material.empty()) nested.push_back(FaceMaterial(material, faces.size()));
    Chunk3ds mesh(chunk::kTriangleMesh);
    mesh.Add(VertexList(vertices)).Add(FaceList(faces, nested));
    return Chunk3ds(chunk::kNamedObject).Name(name).Add(mesh);
}

inline Chunk3ds LightObject(const std::string& name, Vec3 position, Rgb color) {
    Chunk3ds light(chunk::kLight);
    light.F32(position.x).F32(position.y).F32(position.z);
    light.Add(Chunk3ds(chunk::kColorBytes).U8(color.r).U8(color.g).U8(color.b));
    return Chunk3ds(chunk::kNamedObject).Name(name).Add(light);
}

inline Chunk3ds CameraObject(const std::string& name, Vec3 eye, Vec3 target, float roll,
                             float lens) {
    Chunk3ds camera(chunk::kCamera);
    camera.F32(eye.x).F32(eye.y).F32(eye.z).F32(target.x).F32(target.y).F32(target.z);
    camera.F32(roll).F32(lens);
    return Chunk3ds(chunk::kNamedObject).Name(name).Add(camera);
}

// A whole file: the main chunk with a version chunk, the editor chunk holding the given chunks
// and, when asked, an empty keyframer chunk after it.
inline std::vector<uint8_t> File(const std::vector<Chunk3ds>& editorChunks, bool keyframer = true) {
    Chunk3ds editor(chunk::kEditor);
    for (const Chunk3ds& c : editorChunks)
        editor.Add(c);
    Chunk3ds main(chunk::kMain);
    main.Add(Chunk3ds(chunk::kVersion).U32(3)).Add(editor);
    if (keyframer) main.Add(Chunk3ds(chunk::kKeyframer));
    return main.Bytes();
}

}  // namespace build3ds
