// What the fuzz targets of the import child's own readers check: any bytes are read without
// harm; a file the reader leaves to the library says why and leaves the scene empty; a scene it
// gives keeps the rules every scene keeps and writes out as a scene file. The scene is announced
// as the import child has it announced, and what is announced has bounds that are numbers.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "MeshObjects.h"
#include "scene/SceneCheck.h"
#include "scene/SceneFile.h"

using FastReadFromMemory = bool (*)(const unsigned char*, size_t, Scene&, std::vector<std::string>&,
                                    std::string&);

inline int FuzzFastReader(FastReadFromMemory read, const uint8_t* data, size_t size) {
    SetSceneAnnouncer([](const Scene& announced) {
        const SceneSettings& s = announced.m_settings;
        for (float v : {s.minX, s.minY, s.minZ, s.maxX, s.maxY, s.maxZ})
            if (!std::isfinite(v)) std::abort();
        if (!announced.m_objects.empty() || s.minX > s.maxX || s.minY > s.maxY || s.minZ > s.maxZ)
            std::abort();
    });
    Scene scene;
    scene.ClearScene();
    std::vector<std::string> report;
    std::string why;
    if (!read(data, size, scene, report, why)) {
        if (why.empty() || !scene.m_objects.empty()) std::abort();
        return 0;
    }
    if (!SceneRuleBroken(scene).empty()) std::abort();
    std::vector<uint8_t> bytes;
    OutputStream out(bytes);
    WriteScene(out, scene);
    return 0;
}
