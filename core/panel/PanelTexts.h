// The texts of the parameter panel: the lines under each record in the three trees and the
// information texts.
#pragma once

#include <string>
#include <vector>

#include "scene/SceneRecords.h"

// "Material:NAME", "Mesh:%5d", "Vertex:%5d" (the recorded counts).
std::vector<std::string> ObjectTreeLines(const SceneObject& object);

// "Ambient R:%3d  G:%3d  B:%3d", the same for Diffuse and Specular, and
// "Shininess:%.2f Transparency:%.2f".
std::vector<std::string> MaterialTreeLines(const SceneMaterial& material);

// The line a material with a texture map gains under its others: "Map:NAME", the name as the map
// writes it, followed by " (not found)" when FindMapImage finds no image for it beside sceneFile;
// short, so that an 8.3 name and the note fit the panel's narrow tree. "" without a map.
std::string TextureMapLine(const SceneMaterial& material, const std::string& sceneFile);

// "Diffuse R:%.3f  G:%.3f  B:%.3f" with the colour, "Diffuse R:%3d  G:%3d  B:%3d" with the colour
// times 255 truncated, and "On" or "Off".
std::vector<std::string> LightTreeLines(const SceneLight& light);

// The light's name followed by " Diffuse R:%3d  G:%3d  B:%3d".
std::string LightInfoText(const SceneLight& light);
std::string CurrentObjectText(const SceneObject& object);
std::string CurrentMaterialText(const SceneMaterial& material);
