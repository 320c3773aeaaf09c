// The scene file (.zmv): one whole scene as a flat stream of little-endian items, with a count
// before each list. There is one version of the format, 1.1; a scene with face groups, texture
// coordinates or texture maps adds an extension block after its last object (SceneFileExtras).
#pragma once

#include "scene/InputStream.h"
#include "scene/OutputStream.h"
#include "scene/ReadBudget.h"
#include "scene/Scene.h"
#include "scene/SceneFileExtras.h"

enum class ReadSceneResult {
    Read,
    BadMagic,      // not a scene file
    WrongVersion,  // a scene file of another version
    EndOfFile,     // the file ended before the scene did
};

// Writes the whole scene. The stream reports failures through Ok().
void WriteScene(OutputStream& out, const Scene& scene);
// Writes one object's record as the scene writes each of its objects.
void WriteSceneObject(OutputStream& out, const SceneObject& object);

// Reads a scene into a scene the caller has cleared. Records are appended only when complete, so
// after EndOfFile the scene holds what came before the cut. A triangle corner outside its
// object's vertices drops the triangle, and a material index outside the materials becomes -1,
// so that nothing read can make the view read outside a list. Records that would take more
// memory than the budget allows end the scene as a cut file does; the first form gives the
// budget of the file's size. After a scene read whole, extras (when given) says how its
// extension block went: a damaged block loses only the extras, and the result is still Read.
ReadSceneResult ReadScene(InputStream& in, Scene& scene, ReadExtrasResult* extras = nullptr);
ReadSceneResult ReadScene(InputStream& in, Scene& scene, ReadBudget& budget,
                          ReadExtrasResult* extras = nullptr);

// Reads one object's record, checked as the scene's reader checks its objects: a material index
// not below materialCount becomes -1. False, with object unchanged, when the record is cut or
// would take more memory than the budget allows.
bool ReadSceneObject(InputStream& in, ReadBudget& budget, size_t materialCount,
                     SceneObject& object);
