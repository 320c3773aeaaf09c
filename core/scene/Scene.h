// The one scene of the program and the operations on it as a whole. The main window owns one
// Scene for the life of the process; view and panel reach its records by list index.
//
// Invariants kept by every writer (the 3DS reader, the scene file reader, the editors):
// - an object's vertexCount and meshCount equal the lengths of its lists;
// - every triangle corner indexes its object's vertices;
// - materialIndex is -1 or indexes m_materials;
// - a texture map's embeddedImage is -1 or indexes m_images, and no two images are equal;
// - an object's texture coordinates are none or one per vertex, and its face groups index its
//   triangles, each triangle in one group at most;
// - currentObject and currentCamera are -1 or valid indices.
#pragma once

#include <string>
#include <vector>

#include "scene/SceneRecords.h"

// A new Scene is the cleared scene with no current object or camera and the default label font:
// the state the window starts in.
struct Scene {
    std::vector<std::string> m_materialNames;  // entry i names m_materials[i]
    std::vector<SceneCamera> m_cameras;
    std::vector<SceneLight> m_lights;
    std::vector<SceneMaterial> m_materials;
    std::vector<SceneObject> m_objects;
    std::vector<SceneImage> m_images;  // the images the models held, each once
    SceneStatistics m_stats;           // as last computed by CountScene
    SceneSettings m_settings;
    std::string m_strFilePath;  // "" when the scene has no file yet
    // The file the scene was last read from, opened or imported: its texture images are looked
    // for beside it, wherever the scene is saved later. "" for a new scene.
    std::string m_strImageBase;
    bool m_bModified = false;

    // Frees every record and resets background, bounds, reserved fields, rotation, drags and
    // the modified flag. Leaves currentObject, currentCamera, textFont, the file path and the
    // statistics as they are: every caller sets the current indices afterwards.
    void ClearScene();

    // Frees every record of every list; run once when the window goes away.
    void ReleaseScene();

    // Recomputes m_stats from the list lengths.
    void CountScene();

    // The current object, or null when currentObject addresses none.
    SceneObject* CurrentObject();
    const SceneObject* CurrentObject() const;
};

// Whether index addresses an entry of list (the scene's indices use -1 for none).
template <class List>
bool IsIndexOf(int64_t index, const List& list) {
    return index >= 0 && index < static_cast<int64_t>(list.size());
}

// Clears every record (ClearScene) and makes no object or camera current: the scene a file is read
// into, a failed read leaves, and New starts.
void EmptyScene(Scene& scene);

// What a freshly shown scene starts from: its first object and its first camera become current
// when it has any; a list without records leaves its index as it is.
void MakeFirstRecordsCurrent(Scene& scene);

// Whether the object has face groups, texture coordinates, smoothing groups or placed copies or
// is hidden: what the scene file keeps of it in its extension block.
bool ObjectNeedsExtensionBlock(const SceneObject& o);
// A copy of scene with every list and setting but its objects: what a frame draws them with.
Scene SceneWithoutObjects(const Scene& scene);
// Whether any object needs the extension block, any material has a texture map, or the scene an
// up axis other than +Z: whether the scene file has the block.
bool HasSceneExtras(const Scene& scene);

// The counts of a scene's lists: objects, materials, lights, cameras, and the vertices and
// triangles of all objects together.
SceneStatistics CountStatistics(const Scene& scene);
