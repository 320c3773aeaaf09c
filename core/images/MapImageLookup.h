// Where the image a material's texture map names lies. 3D Studio ran on DOS and Windows, so a map
// names its file as those systems wrote it: often with the folder it lay in on the author's
// machine (`C:\maps\wood.jpg`), with backslashes, and in any case, since their file names ignore
// case. Images are looked for in the scene file's folder and never outside it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "scene/Scene.h"

// Looks for mapName in the folder of sceneFile: as written (a relative path, with slashes or
// backslashes), then its last part alone, then both again ignoring ASCII case, and last as a DOS
// name that 3D Studio cut to eight characters and a three-character extension ("UVTRANSF.PNG"
// stands for "UVTransformTestImg.png"). Returns the path of the regular file found, or nothing. A
// name never leads out of the folder: when it is absolute, starts with a drive letter or has a ".."
// part, only its last part is looked for. Where several entries differ only in case, the first in
// byte order is taken.
std::optional<std::string> FindMapImage(const std::string& sceneFile, const std::string& mapName);

// An image that the scene's texture maps name and that is not found.
struct MissingMapImage {
    std::string fileName;                // as the maps write it
    std::vector<std::string> materials;  // the materials naming it, in the scene's order
};

// Every image the scene's texture maps name that FindMapImage does not find, each once, in the
// order of the first material naming it.
std::vector<MissingMapImage> MissingMapImages(const Scene& scene, const std::string& sceneFile);
