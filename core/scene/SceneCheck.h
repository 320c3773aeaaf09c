// The rules every scene keeps, whoever wrote it (the readers, the editors, undo and redo), checked
// in one place: the fuzz targets and the tests call it on every scene they make, and debug builds
// after every load, import and edit.
#pragma once

#include <string>

#include "scene/Scene.h"

// The first rule the scene breaks, naming the record by its index ("object 3 (Box): triangle 17:
// corner b = 40 is not one of its 12 vertices"), or "" when it keeps them all:
// - an object's vertexCount and meshCount equal the lengths of its lists;
// - every triangle corner indexes its object's vertices;
// - an object's materialIndex is -1 or indexes m_materials;
// - m_materialNames has one entry per material, and entry i is material i's name;
// - an object's texture coordinates are none or one per vertex;
// - an object's face groups each hold faces, every one a triangle of the object and in no other
//   group;
// - an object's placed copies have finite matrices;
// - a material's texture map, when it has one, names a file;
// - currentObject and currentCamera are -1 or index their lists.
std::string SceneRuleBroken(const Scene& scene);

// In debug builds, stops the program with the broken rule on standard error when the scene breaks
// one; `after` names what was just done ("open", "import", "edit"). Release builds check nothing.
void CheckSceneInDebug(const Scene& scene, const char* after);
