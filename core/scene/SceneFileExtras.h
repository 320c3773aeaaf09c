// The scene file's extension block: what an object or material holds beyond the records of the
// format's version 1.1 (face groups, texture coordinates, texture maps and the images a model
// held inside itself). It follows the last object, and only when the scene has some of these, so
// every other scene is written as before and readers that stop after the last object still open
// the file. docs/zmv-extension-block.md gives its bytes.
#pragma once

#include "scene/InputStream.h"
#include "scene/OutputStream.h"
#include "scene/ReadBudget.h"
#include "scene/Scene.h"

// Writes the block when HasSceneExtras(scene); nothing otherwise.
void WriteSceneExtras(OutputStream& out, const Scene& scene);

enum class ReadExtrasResult {
    None,          // the file ends after the last object
    Read,          // the extras are the scene's
    Damaged,       // the block (or what follows the last object) is damaged: no extras read
    NewerVersion,  // a block of a later version: no extras read
};

// Reads the block from the position after the last object of a scene read whole. The extras
// join the scene only when the whole block is sound and within the budget: otherwise the scene
// stays as it was.
ReadExtrasResult ReadSceneExtras(InputStream& in, Scene& scene, ReadBudget& budget);
