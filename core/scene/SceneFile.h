// The scene file (.zmv): one whole scene as a flat stream of little-endian items, with a count
// before each list. There is one version of the format, 1.1.
#pragma once

#include "scene/InputStream.h"
#include "scene/OutputStream.h"
#include "scene/Scene.h"

// What the scene file reader needs of the view that shows the scene.
class SceneFileView {
public:
    virtual ~SceneFileView() = default;
    // The label font of the scene changed.
    virtual void ApplyTextFont() = 0;
    // The file holds a camera: the view is to look through it.
    virtual void SetDefaultView(int32_t on) = 0;
};

enum class ReadSceneResult {
    Read,
    BadMagic,      // not a scene file
    WrongVersion,  // a scene file of another version
    EndOfFile,     // the file ended before the scene did
};

// Writes the whole scene. The stream reports failures through Ok().
void WriteScene(OutputStream& out, const Scene& scene);

// Reads a scene into a scene the caller has cleared. Records are appended only when complete, so
// after EndOfFile the scene holds what came before the cut. A triangle corner outside its
// object's vertices drops the triangle, and a material index outside the materials becomes -1,
// so that nothing read can make the view read outside a list. view may be null.
ReadSceneResult ReadScene(InputStream& in, Scene& scene, SceneFileView* view);
