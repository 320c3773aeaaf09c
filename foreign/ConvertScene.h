// Turns a scene the Open Asset Import Library read into our scene records: triangles only,
// node transforms baked into the vertices (each instance of a mesh an object of its own), up
// turned to +Z, meshes cut at 65,535 vertices, per-face materials as face groups, colours, maps,
// lights and cameras. README's "Other formats" section gives the rules.
#pragma once

#include <string>
#include <vector>

#include <assimp/matrix4x4.h>
#include <assimp/vector3.h>

#include "scene/Scene.h"
#include "scene/UpAxis.h"

struct aiScene;

// The largest image file taken from inside a model, and all of a model's together: larger ones
// are passed over, as the parent reads the answer within bounds of its own.
constexpr uint64_t kMaxEmbeddedImageBytes = uint64_t{64} << 20;
constexpr uint64_t kMaxEmbeddedImagesBytes = uint64_t{256} << 20;

// glTF, OBJ and COLLADA (turned to +Y by the library) are +Y; STL, PLY, OFF and 3MF +Z; FBX says so
// in its metadata; the library's other readers give +Y, its own convention. The format is the
// one the format table finds in the file, whatever its name.
UpAxis UpAxisOf(const aiScene& scene, const std::string& path);

// The rotation that takes the file's up axis to +Z, keeping the coordinate system right-handed:
// the quarter turn of TurnedUpright as the library's matrix.
aiMatrix4x4 TurnToZ(UpAxis up);

// A point of a node whose transform from the root is chain, in a file whose up is up, turned so
// that up is +Z. The turn moves and negates coordinates instead of multiplying, and a chain that
// is the identity is not multiplied either, so that a coordinate that is not a number stays in
// its place instead of spreading to the others. Zeros come out positive, as from a product.
aiVector3D PlacedPoint(const aiMatrix4x4& chain, UpAxis up, const aiVector3D& point);

// Appends the source's materials to the scene's, named uniquely, with their colours and maps; a
// line of report says how many images held inside the file were passed over.
void ConvertMaterials(const aiScene& source, Scene& scene, std::vector<std::string>& report);

// A camera as the library gives it (position and look-at direction in its node's space, global
// the node's transform with the turn to +Z, the whole horizontal angle), aimed at a target at its
// distance from center (at least 1) along its look, its lens giving the vertical angle.
SceneCamera ConvertCamera(const std::string& name, const aiMatrix4x4& global,
                          const aiVector3D& position, const aiVector3D& lookAt, float horizontalFov,
                          float aspect, const aiVector3D& center);

// Whether a file's own vertex normals are kept (else they are computed from the faces): they are
// for every format but STL, whose facet normals are often missing or wrong; its corners are
// joined only where their facets' normals agree, so its edges stay hard all the same.
bool KeepsModelNormals(const std::string& path);

// Appends the converted records to a cleared scene, computes normals, bounds and statistics, and
// adds to report one line for each kind of thing that was dropped or cut. With modelNormals a
// vertex takes the normal the model gives it, where it gives one.
void ConvertScene(const aiScene& source, UpAxis up, bool modelNormals, Scene& scene,
                  std::vector<std::string>& report);
