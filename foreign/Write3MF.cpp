#include "Write3MF.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>

#include "view/FaceRuns.h"

namespace {

uint32_t Crc32(const std::string& bytes) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes)
        crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void Put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A zip archive of stored (uncompressed) entries, as the 3MF package allows.
std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string archive, directory;
    for (const auto& [name, data] : entries) {
        const uint32_t crc = Crc32(data), offset = static_cast<uint32_t>(archive.size());
        std::string header;
        Put16(header, 20);    // version needed
        Put16(header, 0);     // flags
        Put16(header, 0);     // stored
        Put16(header, 0);     // time
        Put16(header, 0x21);  // date: 1980-01-01
        Put32(header, crc);
        Put32(header, static_cast<uint32_t>(data.size()));
        Put32(header, static_cast<uint32_t>(data.size()));
        Put16(header, static_cast<uint32_t>(name.size()));
        Put16(header, 0);  // extra
        Put32(archive, 0x04034B50);
        archive += header + name + data;
        Put32(directory, 0x02014B50);
        Put16(directory, 20);  // version made by
        directory += header;
        Put16(directory, 0);  // comment
        Put16(directory, 0);  // disk
        Put16(directory, 0);  // internal attributes
        Put32(directory, 0);  // external attributes
        Put32(directory, offset);
        directory += name;
    }
    const uint32_t directoryAt = static_cast<uint32_t>(archive.size());
    archive += directory;
    Put32(archive, 0x06054B50);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, static_cast<uint32_t>(entries.size()));
    Put16(archive, static_cast<uint32_t>(entries.size()));
    Put32(archive, static_cast<uint32_t>(directory.size()));
    Put32(archive, directoryAt);
    Put16(archive, 0);
    return archive;
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                // Control characters other than tab, newline and return cannot be in XML.
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r')
                    out += c;
        }
    }
    return out;
}

std::string Number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(v));
    return text;
}

std::string Hex(const RGB8& c, float alpha) {
    char text[16];
    const int a = static_cast<int>(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 255.0f));
    std::snprintf(text, sizeof text, "#%02X%02X%02X%02X", c.red, c.green, c.blue, a);
    return text;
}

}  // namespace

bool Write3MF(const Scene& scene, const std::string& path, std::vector<std::string>& notes,
              std::string& why) {
    const MaterialNames names(scene);
    std::string model =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<model unit=\"millimeter\" xml:lang=\"en-US\" "
        "xmlns=\"http://schemas.microsoft.com/3dmanufacturing/core/2015/02\">\n<resources>\n"
        "<basematerials id=\"1\">\n";
    for (const SceneMaterial& m : scene.m_materials)
        model += "<base name=\"" + Escaped(m.name) + "\" displaycolor=\"" +
                 Hex(m.diffuse, m.transparency) + "\"/>\n";
    // The built-in grey, where an object or group has no material of the scene's.
    const size_t grey = scene.m_materials.size();
    bool greyUsed = false;
    for (const SceneObject& o : scene.m_objects) {
        greyUsed = greyUsed || !IsIndexOf(o.materialIndex, scene.m_materials);
        for (const FaceGroup& g : o.faceGroups)
            greyUsed = greyUsed || names.IndexOf(g.material) < 0;
    }
    if (greyUsed || scene.m_materials.empty())
        model += "<base name=\"Default\" displaycolor=\"#808080FF\"/>\n";
    model += "</basematerials>\n";
    std::string build = "<build>\n";
    uint32_t id = 2;
    size_t degenerate = 0;
    for (const SceneObject& o : scene.m_objects) {
        // The object's triangles by material, in the order of their first triangles.
        std::vector<size_t> materialOf(o.meshes.size());
        for (size_t t = 0; t < o.meshes.size(); ++t)
            materialOf[t] = IsIndexOf(o.materialIndex, scene.m_materials)
                                ? static_cast<size_t>(o.materialIndex)
                                : grey;
        for (const FaceGroup& g : o.faceGroups) {
            const int32_t index = names.IndexOf(g.material);
            for (uint32_t face : g.faces)
                if (face < materialOf.size())
                    materialOf[face] = index >= 0 ? static_cast<size_t>(index) : grey;
        }
        std::map<size_t, std::vector<uint32_t>> byMaterial;
        for (uint32_t t = 0; t < o.meshes.size(); ++t) {
            const SceneMesh& m = o.meshes[t];
            if (m.a == m.b || m.b == m.c || m.a == m.c) {
                ++degenerate;
                continue;
            }
            byMaterial[materialOf[t]].push_back(t);
        }
        for (const auto& [material, faces] : byMaterial) {
            model += "<object id=\"" + std::to_string(id) + "\" type=\"model\" name=\"" +
                     Escaped(o.name) + "\" pid=\"1\" pindex=\"" + std::to_string(material) +
                     "\">\n<mesh>\n<vertices>\n";
            // The vertices these triangles use, in the object's order.
            std::vector<uint32_t> index(o.vertices.size(), UINT32_MAX);
            for (uint32_t t : faces)
                for (uint16_t v : {o.meshes[t].a, o.meshes[t].b, o.meshes[t].c})
                    index[v] = 0;
            uint32_t used = 0;
            for (size_t v = 0; v < o.vertices.size(); ++v) {
                if (index[v] == UINT32_MAX) continue;
                index[v] = used++;
                const SceneVertex& p = o.vertices[v];
                model += "<vertex x=\"" + Number(p.x) + "\" y=\"" + Number(p.y) + "\" z=\"" +
                         Number(p.z) + "\"/>\n";
            }
            model += "</vertices>\n<triangles>\n";
            for (uint32_t t : faces) {
                const SceneMesh& m = o.meshes[t];
                model += "<triangle v1=\"" + std::to_string(index[m.a]) + "\" v2=\"" +
                         std::to_string(index[m.b]) + "\" v3=\"" + std::to_string(index[m.c]) +
                         "\"/>\n";
            }
            model += "</triangles>\n</mesh>\n</object>\n";
            build += "<item objectid=\"" + std::to_string(id) + "\"/>\n";
            // A copy: the same object placed again, its transform's rows the matrix's columns.
            for (const PlacedCopy& copy : o.copies) {
                const Matrix4& c = copy.matrix;
                std::string transform;
                for (int k : {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14})
                    transform += (transform.empty() ? "" : " ") + Number(c[k]);
                build += "<item objectid=\"" + std::to_string(id) + "\" transform=\"" + transform +
                         "\"/>\n";
            }
            ++id;
        }
    }
    model += "</resources>\n" + build + "</build>\n</model>\n";
    if (degenerate)
        notes.push_back(std::to_string(degenerate) +
                        (degenerate == 1 ? " triangle" : " triangles") +
                        " left out: 3MF takes no triangle with a corner twice");
    const std::string archive = StoredZip({
        {"[Content_Types].xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"model\" "
         "ContentType=\"application/vnd.ms-package.3dmanufacturing-3dmodel+xml\"/></Types>\n"},
        {"_rels/.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Target=\"/3D/3dmodel.model\" Id=\"rel0\" "
         "Type=\"http://schemas.microsoft.com/3dmanufacturing/2013/01/3dmodel\"/>"
         "</Relationships>\n"},
        {"3D/3dmodel.model", model},
    });
    if (archive.size() > UINT32_MAX) {
        why = "The scene is too large for a 3MF file of 4 GB";
        return false;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(archive.data(), static_cast<std::streamsize>(archive.size()));
    out.close();
    if (!out) {
        why = "the file could not be written";
        return false;
    }
    return true;
}
