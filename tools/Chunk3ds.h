// Builds 3D Studio files as bytes, chunk by chunk: for test fixtures, the bundled example scene
// and the benchmark scene. A chunk's length is computed from its contents unless a test sets a
// wrong one on purpose.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

class Chunk3ds {
public:
    explicit Chunk3ds(uint16_t id) : m_id(id) {}

    Chunk3ds& U8(uint8_t v) {
        m_data.push_back(v);
        return *this;
    }
    Chunk3ds& U16(uint16_t v) {
        return U8(static_cast<uint8_t>(v)).U8(static_cast<uint8_t>(v >> 8));
    }
    Chunk3ds& I16(int16_t v) { return U16(static_cast<uint16_t>(v)); }
    Chunk3ds& U32(uint32_t v) {
        return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16));
    }
    Chunk3ds& F32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return U32(bits);
    }
    // A name with its terminating zero byte.
    Chunk3ds& Name(const std::string& s) {
        m_data.insert(m_data.end(), s.begin(), s.end());
        return U8(0);
    }
    Chunk3ds& Raw(const std::vector<uint8_t>& bytes) {
        m_data.insert(m_data.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Chunk3ds& Add(const Chunk3ds& child) { return Raw(child.Bytes()); }
    // Writes this length into the header instead of the true one.
    Chunk3ds& Length(uint32_t length) {
        m_length = length;
        return *this;
    }

    std::vector<uint8_t> Bytes() const {
        const uint32_t length = m_length ? *m_length : static_cast<uint32_t>(m_data.size() + 6);
        std::vector<uint8_t> out(m_data.size() + 6);
        out[0] = static_cast<uint8_t>(m_id);
        out[1] = static_cast<uint8_t>(m_id >> 8);
        for (int i = 0; i < 4; ++i)
            out[2 + i] = static_cast<uint8_t>(length >> (8 * i));
        if (!m_data.empty()) std::memcpy(out.data() + 6, m_data.data(), m_data.size());
        return out;
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

// A byte colour chunk inside a material colour chunk (0xA010, 0xA020, 0xA030).
inline Chunk3ds MaterialColor(uint16_t id, Rgb c) {
    return Chunk3ds(id).Add(Chunk3ds(0x0011).U8(c.r).U8(c.g).U8(c.b));
}

// A percentage chunk inside 0xA040 or 0xA050.
inline Chunk3ds MaterialPercent(uint16_t id, int16_t percent) {
    return Chunk3ds(id).Add(Chunk3ds(0x0030).I16(percent));
}

inline Chunk3ds Material(const std::string& name, Rgb ambient, Rgb diffuse, Rgb specular,
                         int16_t shininess, std::optional<int16_t> transparency) {
    Chunk3ds m(0xAFFF);
    m.Add(Chunk3ds(0xA000).Name(name));
    m.Add(MaterialColor(0xA010, ambient));
    m.Add(MaterialColor(0xA020, diffuse));
    m.Add(MaterialColor(0xA030, specular));
    m.Add(MaterialPercent(0xA040, shininess));
    if (transparency) m.Add(MaterialPercent(0xA050, *transparency));
    return m;
}

inline Chunk3ds VertexList(const std::vector<Vec3>& vertices) {
    Chunk3ds list(0x4110);
    list.U16(static_cast<uint16_t>(vertices.size()));
    for (const Vec3& v : vertices)
        list.F32(v.x).F32(v.y).F32(v.z);
    return list;
}

// A face list with its nested chunks (material groups, smoothing groups) after the faces.
inline Chunk3ds FaceList(const std::vector<Face>& faces, const std::vector<Chunk3ds>& nested) {
    Chunk3ds list(0x4120);
    list.U16(static_cast<uint16_t>(faces.size()));
    for (const Face& f : faces)
        list.U16(f.a).U16(f.b).U16(f.c).U16(f.flags);
    for (const Chunk3ds& n : nested)
        list.Add(n);
    return list;
}

// A material group naming the material of the listed faces.
inline Chunk3ds FaceMaterial(const std::string& material, size_t faceCount) {
    Chunk3ds group(0x4130);
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
    Chunk3ds mesh(0x4100);
    mesh.Add(VertexList(vertices)).Add(FaceList(faces, nested));
    return Chunk3ds(0x4000).Name(name).Add(mesh);
}

inline Chunk3ds LightObject(const std::string& name, Vec3 position, Rgb color) {
    Chunk3ds light(0x4600);
    light.F32(position.x).F32(position.y).F32(position.z);
    light.Add(Chunk3ds(0x0011).U8(color.r).U8(color.g).U8(color.b));
    return Chunk3ds(0x4000).Name(name).Add(light);
}

inline Chunk3ds CameraObject(const std::string& name, Vec3 eye, Vec3 target, float roll,
                             float lens) {
    Chunk3ds camera(0x4700);
    camera.F32(eye.x).F32(eye.y).F32(eye.z).F32(target.x).F32(target.y).F32(target.z);
    camera.F32(roll).F32(lens);
    return Chunk3ds(0x4000).Name(name).Add(camera);
}

// A whole file: the main chunk with a version chunk, the editor chunk holding the given chunks
// and, when asked, an empty keyframer chunk after it.
inline std::vector<uint8_t> File(const std::vector<Chunk3ds>& editorChunks, bool keyframer = true) {
    Chunk3ds editor(0x3D3D);
    for (const Chunk3ds& c : editorChunks)
        editor.Add(c);
    Chunk3ds main(0x4D4D);
    main.Add(Chunk3ds(0x0002).U32(3)).Add(editor);
    if (keyframer) main.Add(Chunk3ds(0xB000));
    return main.Bytes();
}

}  // namespace build3ds
