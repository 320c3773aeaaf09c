#include "panel/PanelTexts.h"

#include <cstdio>

#include "images/MapImageLookup.h"
#include "panel/SliderMapping.h"

namespace {

template <class... Args>
std::string Format(const char* format, Args... args) {
    char text[128];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

std::string ColorLine(const char* name, const RGB8& c) {
    return Format("%s R:%3d  G:%3d  B:%3d", name, c.red, c.green, c.blue);
}

std::string LightBytesLine(const SceneLight& l) {
    return Format("Diffuse R:%3d  G:%3d  B:%3d", SliderOfFraction(l.color[0]),
                  SliderOfFraction(l.color[1]), SliderOfFraction(l.color[2]));
}

}  // namespace

std::vector<std::string> ObjectTreeLines(const SceneObject& o) {
    return {"Material:" + o.materialName, Format("Mesh:%5d", o.meshCount),
            Format("Vertex:%5d", o.vertexCount)};
}

std::vector<std::string> MaterialTreeLines(const SceneMaterial& m) {
    return {ColorLine("Ambient", m.ambient), ColorLine("Diffuse", m.diffuse),
            ColorLine("Specular", m.specular),
            Format("Shininess:%.2f Transparency:%.2f", static_cast<double>(m.shininess),
                   static_cast<double>(m.transparency))};
}

std::string TextureMapLine(const SceneMaterial& m, const std::string& sceneFile) {
    if (!m.textureMap) return {};
    const std::string& name = m.textureMap->fileName;
    const bool found = m.textureMap->embeddedImage >= 0 || FindMapImage(sceneFile, name);
    return "Map:" + name + (found ? "" : " (not found)");
}

std::vector<std::string> LightTreeLines(const SceneLight& l) {
    return {Format("Diffuse R:%.3f  G:%.3f  B:%.3f", static_cast<double>(l.color[0]),
                   static_cast<double>(l.color[1]), static_cast<double>(l.color[2])),
            LightBytesLine(l), l.on != 0 ? "On" : "Off"};
}

std::string LightInfoText(const SceneLight& l) {
    return l.name + " " + LightBytesLine(l);
}

std::string CurrentObjectText(const SceneObject& o) {
    return "Current object:" + o.name;
}

std::string CurrentMaterialText(const SceneMaterial& m) {
    return "Current material:" + m.name;
}
