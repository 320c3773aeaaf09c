#include "cli/SceneDump.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "scene/ImageTable.h"

namespace {

class Json {
public:
    std::string text;

    Json& Raw(const char* s) {
        text += s;
        return *this;
    }
    Json& Key(const char* name) {
        text += '"';
        text += name;
        text += "\": ";
        return *this;
    }
    Json& Int(long long v) {
        text += std::to_string(v);
        return *this;
    }
    Json& Float(float v) {
        if (std::isnan(v)) return Raw("\"nan\"");
        if (std::isinf(v)) return Raw(v > 0 ? "\"inf\"" : "\"-inf\"");
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
        text.append(buffer, result.ptr);
        return *this;
    }
    Json& Str(const std::string& bytes) {
        text += '"';
        for (unsigned char c : bytes) {
            if (c == '"' || c == '\\') {
                text += '\\';
                text += static_cast<char>(c);
            } else if (c < 0x20 || c >= 0x80) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                text += escape;
            } else {
                text += static_cast<char>(c);
            }
        }
        text += '"';
        return *this;
    }
    Json& Color(const RGB8& c) {
        return Raw("[").Int(c.red).Raw(", ").Int(c.green).Raw(", ").Int(c.blue).Raw("]");
    }
    // A float field: ", "key": value" (sep is what comes before the key).
    Json& F(const char* sep, const char* key, float v) { return Raw(sep).Key(key).Float(v); }
    Json& I(const char* sep, const char* key, long long v) { return Raw(sep).Key(key).Int(v); }
};

void DumpFont(Json& j, const LogFont& f) {
    j.Raw("{").I("", "lfHeight", f.lfHeight).I(", ", "lfWidth", f.lfWidth);
    j.I(", ", "lfEscapement", f.lfEscapement).I(", ", "lfOrientation", f.lfOrientation);
    j.I(", ", "lfWeight", f.lfWeight).I(", ", "lfItalic", f.lfItalic);
    j.I(", ", "lfUnderline", f.lfUnderline).I(", ", "lfStrikeOut", f.lfStrikeOut);
    j.I(", ", "lfCharSet", f.lfCharSet).I(", ", "lfOutPrecision", f.lfOutPrecision);
    j.I(", ", "lfClipPrecision", f.lfClipPrecision).I(", ", "lfQuality", f.lfQuality);
    j.I(", ", "lfPitchAndFamily", f.lfPitchAndFamily);
    j.Raw(", ").Key("lfFaceName").Str(f.lfFaceName).Raw("}");
}

void DumpSettings(Json& j, const SceneSettings& s) {
    j.Raw("{").I("", "currentObject", s.currentObject).I(", ", "currentCamera", s.currentCamera);
    j.Raw(", ").Key("background").Color(s.background);
    j.Raw(", ").Key("reservedBytes").Raw("[");
    j.Int(s.reservedBytes[0]).Raw(", ").Int(s.reservedBytes[1]).Raw(", ").Int(s.reservedBytes[2]);
    j.Raw("], ").Key("reservedWords").Raw("[");
    j.Int(s.reservedWords[0]).Raw(", ").Int(s.reservedWords[1]).Raw(", ").Int(s.reservedWords[2]);
    j.Raw("]").F(", ", "maxX", s.maxX).F(", ", "minX", s.minX).F(", ", "maxY", s.maxY);
    j.F(", ", "minY", s.minY).F(", ", "maxZ", s.maxZ).F(", ", "minZ", s.minZ);
    j.Raw(", ").Key("textFont");
    DumpFont(j, s.textFont);
    j.F(", ", "rotX", s.rotX).F(", ", "rotY", s.rotY).F(", ", "rotZ", s.rotZ);
    j.F(", ", "dragX", s.dragX).F(", ", "dragY", s.dragY).Raw("}");
}

// embedded: the image the material's map shows from the scene's table, or null.
void DumpMaterial(Json& j, const SceneMaterial& m, const SceneImage* embedded) {
    j.Raw("{").Key("name").Str(m.name);
    j.Raw(", ").Key("ambient").Color(m.ambient).Raw(", ").Key("diffuse").Color(m.diffuse);
    j.Raw(", ").Key("specular").Color(m.specular);
    j.F(", ", "shininess", m.shininess).F(", ", "transparency", m.transparency);
    if (const std::optional<TextureMap>& map = m.textureMap) {
        j.Raw(",\n      ").Key("textureMap").Raw("{").Key("fileName").Str(map->fileName);
        j.F(", ", "strength", map->strength).I(", ", "tiling", map->tiling);
        j.F(", ", "uScale", map->uScale).F(", ", "vScale", map->vScale);
        j.F(", ", "uOffset", map->uOffset).F(", ", "vOffset", map->vOffset);
        j.F(", ", "rotation", map->rotation);
        if (embedded) j.I(", ", "embeddedBytes", static_cast<long long>(embedded->bytes.size()));
        j.Raw("}");
    }
    j.Raw("}");
}

void DumpLight(Json& j, const SceneLight& l) {
    j.Raw("{").Key("name").Str(l.name).F(", ", "x", l.x).F(", ", "y", l.y).F(", ", "z", l.z);
    j.Raw(", ").Key("color").Raw("[").Float(l.color[0]).Raw(", ").Float(l.color[1]);
    j.Raw(", ").Float(l.color[2]).Raw("], ").Key("color24").Color(l.color24);
    j.I(", ", "on", l.on).Raw("}");
}

void DumpCamera(Json& j, const SceneCamera& c) {
    j.Raw("{").Key("name").Str(c.name).F(", ", "posX", c.posX).F(", ", "posY", c.posY);
    j.F(", ", "posZ", c.posZ).F(", ", "targetX", c.targetX).F(", ", "targetY", c.targetY);
    j.F(", ", "targetZ", c.targetZ).F(", ", "lens", c.lens).F(", ", "roll", c.roll).Raw("}");
}

void DumpObject(Json& j, const SceneObject& o) {
    j.Raw("{").Key("name").Str(o.name).Raw(", ").Key("materialName").Str(o.materialName);
    j.I(", ", "materialIndex", o.materialIndex).I(", ", "smooth", o.smooth);
    j.I(",\n      ", "vertexCount", o.vertexCount).I(", ", "meshCount", o.meshCount);
    j.F(",\n      ", "maxX", o.maxX).F(", ", "maxY", o.maxY).F(", ", "maxZ", o.maxZ);
    j.F(", ", "minX", o.minX).F(", ", "minY", o.minY).F(", ", "minZ", o.minZ);
    j.F(",\n      ", "centerX", o.centerX).F(", ", "centerY", o.centerY);
    j.F(", ", "centerZ", o.centerZ);
    j.Raw(",\n      ").Key("note").Str(o.note).Raw(", ").Key("noteColor").Color(o.noteColor);
    j.I(", ", "noteX", o.noteX).I(", ", "noteY", o.noteY);
    j.Raw(",\n      ").Key("vertices").Raw("[");
    for (size_t i = 0; i < o.vertices.size(); ++i) {
        const SceneVertex& v = o.vertices[i];
        j.Raw(i ? ", [" : "[").Float(v.x).Raw(", ").Float(v.y).Raw(", ").Float(v.z);
        j.Raw(", ").Float(v.nx).Raw(", ").Float(v.ny).Raw(", ").Float(v.nz).Raw("]");
    }
    j.Raw("],\n      ").Key("meshes").Raw("[");
    for (size_t i = 0; i < o.meshes.size(); ++i) {
        const SceneMesh& m = o.meshes[i];
        j.Raw(i ? ", [" : "[").Int(m.a).Raw(", ").Int(m.b).Raw(", ").Int(m.c);
        j.Raw(", ").Int(m.flags).Raw(", ").Float(m.nx).Raw(", ").Float(m.ny);
        j.Raw(", ").Float(m.nz).Raw("]");
    }
    j.Raw("]");
    // The extras appear only where an object has them.
    if (!o.faceGroups.empty()) {
        j.Raw(",\n      ").Key("faceGroups").Raw("[");
        for (size_t g = 0; g < o.faceGroups.size(); ++g) {
            const FaceGroup& group = o.faceGroups[g];
            j.Raw(g ? ", {" : "{")
                .Key("material")
                .Str(group.material)
                .Raw(", ")
                .Key("faces")
                .Raw("[");
            for (size_t i = 0; i < group.faces.size(); ++i)
                j.Raw(i ? ", " : "").Int(group.faces[i]);
            j.Raw("]}");
        }
        j.Raw("]");
    }
    if (!o.smoothingGroups.empty()) {
        j.Raw(",\n      ").Key("smoothingGroups").Raw("[");
        for (size_t i = 0; i < o.smoothingGroups.size(); ++i)
            j.Raw(i ? ", " : "").Int(o.smoothingGroups[i]);
        j.Raw("]");
    }
    if (!o.copies.empty()) {
        j.Raw(",\n      ").Key("copies").Raw("[");
        for (size_t c = 0; c < o.copies.size(); ++c) {
            j.Raw(c ? ", {" : "{").Key("name").Str(o.copies[c].name).Raw(", ").Key("matrix");
            for (size_t i = 0; i < o.copies[c].matrix.size(); ++i)
                j.Raw(i ? ", " : "[").Float(o.copies[c].matrix[i]);
            j.Raw("]}");
        }
        j.Raw("]");
    }
    if (!o.uvs.empty()) {
        j.Raw(",\n      ").Key("uvs").Raw("[");
        for (size_t i = 0; i < o.uvs.size(); ++i)
            j.Raw(i ? ", [" : "[").Float(o.uvs[i].u).Raw(", ").Float(o.uvs[i].v).Raw("]");
        j.Raw("]");
    }
    j.Raw("\n    }");
}

// "key": [ one item a line ]
template <class List, class DumpOne>
void DumpList(Json& j, const char* key, const List& list, DumpOne dumpOne) {
    j.Raw(",\n  ").Key(key).Raw("[");
    for (size_t i = 0; i < list.size(); ++i) {
        j.Raw(i ? ",\n    " : "\n    ");
        dumpOne(j, list[i]);
    }
    j.Raw(list.empty() ? "]" : "\n  ]");
}

}  // namespace

std::string DumpSceneJson(const Scene& scene) {
    const SceneStatistics stats = CountStatistics(scene);

    Json j;
    j.Raw("{\n  ").Key("modified").Int(scene.m_bModified ? 1 : 0);
    j.Raw(",\n  ").Key("filePath").Str(scene.m_strFilePath);
    j.Raw(",\n  ").Key("settings");
    DumpSettings(j, scene.m_settings);
    j.Raw(",\n  ").Key("statistics").Raw("{").I("", "objects", stats.objects);
    j.I(", ", "vertices", stats.vertices).I(", ", "meshes", stats.meshes);
    j.I(", ", "materials", stats.materials).I(", ", "lights", stats.lights);
    j.I(", ", "cameras", stats.cameras).Raw("}");
    j.Raw(",\n  ").Key("materialNames").Raw("[");
    for (size_t i = 0; i < scene.m_materialNames.size(); ++i)
        j.Raw(i ? ", " : "").Str(scene.m_materialNames[i]);
    j.Raw("]");
    DumpList(j, "materials", scene.m_materials, [&scene](Json& to, const SceneMaterial& m) {
        DumpMaterial(to, m, m.textureMap ? EmbeddedImageOf(scene, *m.textureMap) : nullptr);
    });
    DumpList(j, "lights", scene.m_lights, DumpLight);
    DumpList(j, "cameras", scene.m_cameras, DumpCamera);
    DumpList(j, "objects", scene.m_objects, DumpObject);
    j.Raw("\n}\n");
    return std::move(j.text);
}
