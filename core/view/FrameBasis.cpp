#include "view/FrameBasis.h"

#include "scene/OutputStream.h"
#include "scene/SceneFile.h"

std::vector<uint8_t> FrameBasis(const Scene& scene) {
    Scene shell = SceneWithoutObjects(scene);
    shell.m_settings.currentObject = -1;
    std::vector<uint8_t> bytes;
    OutputStream out(bytes);
    WriteScene(out, shell);
    out.Flush();
    bytes.insert(bytes.end(), scene.m_strImageBase.begin(), scene.m_strImageBase.end());
    return bytes;
}
