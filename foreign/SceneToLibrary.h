// Turns the scene's records into a scene of the Open Asset Import Library for its exporters: each
// object a named node with one mesh per material it uses, its corners with the normals the view
// draws in smooth mode, its texture coordinates with the map's offset, scale and angle baked in;
// materials, lights and cameras where the format keeps them; each placed copy a node sharing its
// object's meshes; up turned to the format's.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "formats/ExportFormats.h"
#include "scene/Scene.h"

struct aiScene;

struct LibraryScene {
    std::unique_ptr<aiScene> scene;
    // Texture images to put beside the written file: where each is found, and its name there.
    std::vector<std::pair<std::string, std::string>> images;
    // What the format left out, one finished sentence each ("2 lights left out: STL keeps none").
    std::vector<std::string> leftOut;
};

// imageBase is the file the scene's texture images are looked for beside.
LibraryScene SceneToLibrary(const Scene& scene, const ExportFormat& format,
                            const std::string& imageBase);
