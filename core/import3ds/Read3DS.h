// Reads a 3D Studio file into a freshly cleared scene: materials and their names, triangle
// mesh objects, lights and cameras, then face normals, vertex normals and the scene bounds.
//
// Safe for untrusted input: it never reads outside the file, never allocates more than the file
// can hold, and always ends. Chunks may overlap, so that the same bytes are walked and listed
// again: a ReadBudget bounds the time and memory, and a file that would pass it is read as if it
// ended there. Damaged data ends the walk concerned; what was complete is kept. A
// triangle with a corner outside its object's vertices is dropped.
#pragma once

#include "import3ds/ImportFindings.h"
#include "scene/InputStream.h"
#include "scene/ReadBudget.h"
#include "scene/Scene.h"

enum class Read3dsResult {
    Read,           // the scene holds what the file held
    TooShort,       // fewer than 7 bytes
    BadMainChunk,   // no main chunk, or its length is not the file length
    NoEditorChunk,  // no editor chunk at offset 16
};

// Appends to the scene's lists and sets its bounds; touches nothing else (not the modified flag,
// nor the current object or camera). On any result but Read the scene is left as it was. A
// listener, when given, hears of everything the reader passes over or repairs on the way. The
// budget is that of the file's size unless one is given.
Read3dsResult Read3DS(InputStream& file, Scene& scene, ImportListener* listener = nullptr);
Read3dsResult Read3DS(InputStream& file, Scene& scene, ReadBudget& budget,
                      ImportListener* listener = nullptr);
