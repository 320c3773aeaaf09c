#include "scene/ArchiveString.h"
#include "scene/SceneFile.h"
#include "scene/SceneFileExtras.h"
#include "scene/SceneFileLayout.h"

namespace {

void WriteColor(OutputStream& out, const RGB8& c) {
    const uint8_t bytes[3] = {c.red, c.green, c.blue};
    out.Write(bytes, 3);
}

// The LOGFONT fields in the alphabetical order of their names.
void WriteFont(OutputStream& out, const LogFont& f) {
    out.WriteU8(f.lfCharSet);
    out.WriteU8(f.lfClipPrecision);
    out.WriteI32(f.lfEscapement);
    WriteArchiveString(out, f.lfFaceName.substr(0, f.lfFaceName.find('\0')));
    out.WriteI32(f.lfHeight);
    out.WriteU8(f.lfItalic);
    out.WriteI32(f.lfOrientation);
    out.WriteU8(f.lfOutPrecision);
    out.WriteU8(f.lfPitchAndFamily);
    out.WriteU8(f.lfQuality);
    out.WriteU8(f.lfStrikeOut);
    out.WriteU8(f.lfUnderline);
    out.WriteI32(f.lfWeight);
    out.WriteI32(f.lfWidth);
}

void WriteMaterial(OutputStream& out, const SceneMaterial& m) {
    WriteArchiveString(out, m.name);
    WriteColor(out, m.ambient);
    WriteColor(out, m.diffuse);
    WriteColor(out, m.specular);
    out.WriteF32(m.shininess);
    out.WriteF32(m.transparency);
}

void WriteLight(OutputStream& out, const SceneLight& l) {
    WriteArchiveString(out, l.name);
    out.WriteI32(l.on);
    for (float c : l.color)
        out.WriteF32(c);
    WriteColor(out, l.color24);
    out.WriteF32(l.x);
    out.WriteF32(l.y);
    out.WriteF32(l.z);
}

// Lens and roll come first, the target before the eye.
void WriteCamera(OutputStream& out, const SceneCamera& c) {
    WriteArchiveString(out, c.name);
    for (float v : {c.lens, c.roll, c.targetX, c.targetY, c.targetZ, c.posX, c.posY, c.posZ})
        out.WriteF32(v);
}

}  // namespace

void WriteSceneObject(OutputStream& out, const SceneObject& o) {
    WriteArchiveString(out, o.name);
    WriteArchiveString(out, o.materialName);
    out.WriteI32(o.materialIndex);
    out.WriteI32(o.smooth);
    for (float v :
         {o.centerX, o.centerY, o.centerZ, o.maxX, o.maxY, o.maxZ, o.minX, o.minY, o.minZ})
        out.WriteF32(v);
    WriteArchiveString(out, o.note);
    WriteColor(out, o.noteColor);
    out.WriteI32(o.noteX);
    out.WriteI32(o.noteY);
    out.WriteI32(o.vertexCount);
    WriteRecords<VertexLayout>(out, o.vertices);
    out.WriteI32(o.meshCount);
    WriteRecords<TriangleLayout>(out, o.meshes);
}

namespace {

template <class List, class WriteOne>
void WriteList(OutputStream& out, const List& list, WriteOne writeOne) {
    out.WriteI32(static_cast<int32_t>(list.size()));
    for (const auto& item : list)
        writeOne(out, item);
}

}  // namespace

void WriteScene(OutputStream& out, const Scene& scene) {
    const SceneSettings& s = scene.m_settings;
    WriteArchiveString(out, "ZMVF");
    out.WriteU16(1);
    out.WriteU16(1);
    WriteColor(out, s.background);
    out.Write(s.reservedBytes, 3);
    for (int32_t w : s.reservedWords)
        out.WriteI32(w);
    for (float v : {s.maxX, s.minX, s.maxY, s.minY, s.maxZ, s.minZ})
        out.WriteF32(v);
    WriteFont(out, s.textFont);
    out.WriteI32(s.currentObject);
    out.WriteI32(s.currentCamera);
    WriteList(out, scene.m_materials, WriteMaterial);
    WriteList(out, scene.m_materialNames, WriteArchiveString);
    WriteList(out, scene.m_lights, WriteLight);
    WriteList(out, scene.m_cameras, WriteCamera);
    WriteList(out, scene.m_objects, WriteSceneObject);
    WriteSceneExtras(out, scene);
}
