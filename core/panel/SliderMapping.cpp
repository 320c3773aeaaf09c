#include "panel/SliderMapping.h"

#include <cstdint>
#include <cstring>

#include "panel/PanelLayout.h"

namespace {

using namespace panel;

// The byte a colour slider stands for, or null for shininess and transparency.
template <class Material>
auto MaterialByte(Material& m, int id) -> decltype(&m.ambient.red) {
    switch (id) {
        case kAmbientRed:
            return &m.ambient.red;
        case kAmbientGreen:
            return &m.ambient.green;
        case kAmbientBlue:
            return &m.ambient.blue;
        case kDiffuseRed:
            return &m.diffuse.red;
        case kDiffuseGreen:
            return &m.diffuse.green;
        case kDiffuseBlue:
            return &m.diffuse.blue;
        case kSpecularRed:
            return &m.specular.red;
        case kSpecularGreen:
            return &m.specular.green;
        case kSpecularBlue:
            return &m.specular.blue;
        default:
            return nullptr;
    }
}

int LightChannel(int id) {
    return id - kLightRed;
}

}  // namespace

float OneOver255() {
    const uint32_t bits = 0x3B808081u;
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

float FractionOfSlider(int position) {
    return static_cast<float>(position) * OneOver255();
}

int SliderOfFraction(float value) {
    return static_cast<int>(value * 255.0f);
}

bool IsMaterialSlider(int id) {
    return id >= kShininess && id <= kSpecularBlue;
}

bool IsLightSlider(int id) {
    return id >= kLightRed && id <= kLightBlue;
}

int MaterialSliderPosition(const SceneMaterial& material, int id) {
    if (id == kShininess) return SliderOfFraction(material.shininess);
    if (id == kTransparency) return SliderOfFraction(material.transparency);
    const uint8_t* byte = MaterialByte(material, id);
    return byte ? *byte : 0;
}

void SetMaterialFromSlider(SceneMaterial& material, int id, int position) {
    if (id == kShininess)
        material.shininess = FractionOfSlider(position);
    else if (id == kTransparency)
        material.transparency = FractionOfSlider(position);
    else if (uint8_t* byte = MaterialByte(material, id))
        *byte = static_cast<uint8_t>(position);
}

int LightSliderPosition(const SceneLight& light, int id) {
    return SliderOfFraction(light.color[LightChannel(id)]);
}

void SetLightFromSlider(SceneLight& light, int id, int position) {
    const int channel = LightChannel(id);
    light.color[channel] = FractionOfSlider(position);
    uint8_t* bytes[3] = {&light.color24.red, &light.color24.green, &light.color24.blue};
    *bytes[channel] = static_cast<uint8_t>(position);
}
