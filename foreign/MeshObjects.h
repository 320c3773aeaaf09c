// The triangles of one node of a model, with their corners, materials and coordinates, cut into
// the scene's objects of at most 65,535 vertices each. The conversion of what the Open Asset
// Import Library read and the program's own fast readers both end here, so that a file gives
// the same objects whichever reads it.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "scene/Scene.h"

// The most vertices an object may have: its triangles index them with 16 bits.
constexpr size_t kMaxObjectVertices = 65535;

struct MeshPoint {
    float x = 0, y = 0, z = 0;
};

// The triangles of one node's meshes together, before they are cut into objects.
struct MergedMesh {
    std::vector<MeshPoint> points;
    std::vector<SceneUv> uvs;  // one per point, or empty
    // One per point where the model gives its own normals, or empty: the normals are then
    // computed from the faces, as for a 3D Studio file.
    std::vector<MeshPoint> normals;
    std::vector<uint32_t> corners;
    std::vector<uint32_t> materials;  // of each triangle, an index into the scene's materials
};

// Appends merged's triangles to scene as objects named name, cut in the order of the triangles
// into objects named NAME.1, NAME.2 and on where they hold more than kMaxObjectVertices
// vertices (a line of report says so); a vertex no triangle uses is left out. Each object's
// material is its first triangle's, with face groups where its triangles use two or more; its
// bounds and normals are computed, and a vertex takes the model's own normal instead where that
// has a length. The scene's materials must be there already.
void AddObjects(const MergedMesh& merged, const std::string& name, Scene& scene,
                std::vector<std::string>& report);

// AddObjects for triangles that come a batch at a time: Cut as more have come, Finish after the
// last. Objects are made, and told to the sink, as soon as they are full, so that a reader can
// send them on while it reads the rest.
class ObjectCutter {
public:
    // For triangles and points, about, in all: the lists are reserved by them.
    ObjectCutter(std::string name, Scene& scene, size_t triangles, size_t points);
    // Cuts merged's triangles from where the last call stopped up to triangles, their corners
    // into points (which hold merged's points, as far as they have come); merged's corners,
    // materials and any coordinates and normals hold at least that much.
    void Cut(const MergedMesh& merged, const std::vector<MeshPoint>& points, size_t triangles);
    // The last object, and the report's line when the mesh was cut: of points in all.
    void Finish(const MergedMesh& merged, size_t points, std::vector<std::string>& report);

private:
    void StartPiece(const MergedMesh& merged);
    void EndPiece(const MergedMesh& merged);

    std::string m_name;
    Scene& m_scene;
    size_t m_firstObject;
    size_t m_triangles, m_points;
    uint32_t m_piece = 0;
    bool m_open = false;  // m_object is being filled
    SceneObject m_object;
    std::vector<MeshPoint> m_normals;  // the model's, one per vertex of the object
    size_t m_from = 0, m_next = 0;     // the object's first triangle, the next to cut
    std::vector<uint32_t> m_pieceOf, m_newIndex;
};

// Where objects go once they are finished, before the rest of the model is read: sink(scene,
// index) is told of each object AddObjects makes as soon as nothing will change it again, in the
// objects' order, and may empty its vertex and triangle lists (the import child sends the object
// to the program at once and keeps only its name, material and bounds). None by default; an empty
// function sets none.
void SetFinishedObjectSink(std::function<void(Scene&, size_t index)> sink);

// Where a reader that knows its whole scene before its objects are made tells it, so that the
// program can start drawing them as they come: announcer(scene) is given the scene as it will be
// once its objects are in, without them. None by default; an empty function sets none.
void SetSceneAnnouncer(std::function<void(const Scene&)> announcer);
// Whether an announcer is set: then a reader works out what it would announce.
bool AnnouncingScenes();
void AnnounceScene(const Scene& scene);

// Widens bounds by p: false, leaving them, when it is not a number.
bool WidenBy(const MeshPoint& p, SceneSettings& bounds);
// Widens bounds by the points of the first triangles given by corners (three each) into points:
// false when one of them is not a number, as AddObjects then drops triangles.
bool WidenByTriangles(const std::vector<MeshPoint>& points, const std::vector<uint32_t>& corners,
                      size_t triangles, SceneSettings& bounds);
// Bounds that any point widens.
void MakeBoundsEmpty(SceneSettings& bounds);

// Names made unique: a repeated or empty name gets a number.
class UniqueNames {
public:
    std::string Take(std::string name, const std::string& fallback);

private:
    std::set<std::string> m_used;
    std::unordered_map<std::string, int> m_next;
};
