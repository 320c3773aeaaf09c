// What the 3DS reader passed over or repaired while it read a file: the notes behind
// `zemvora --check`. The reader hands them to a listener when it is given one; without one it
// only tests a null pointer, so an import pays nothing for them.
#pragma once

#include <cstdint>
#include <string>

enum class ImportFinding {
    SkippedChunk,       // a chunk the reader does not read (chunkId)
    UnknownMeshChunk,   // an unknown chunk in a mesh, whose contents are read as the mesh's own
    ChunkPastParent,    // a chunk whose length runs past its parent's end (chunkId, value = end)
    ChunkAfterParent,   // a list after a mesh's end that the mesh's walk reads as its own, as
                        // it can run on into the next chunk (value = the mesh's end)
    BadChunkLength,     // a chunk length below its own header's size, which ends the walk there
    HeaderCutShort,     // a chunk header cut off by the end of the file
    ListCutShort,       // a vertex, face or material group list that the file ends inside
    MeshCutShort,       // a mesh whose chunks end with the file before its length is reached
    RecordCutShort,     // a material, named object, light or camera that the file ends inside
    EmptyNamedObject,   // a named object whose first chunk is no mesh, light or camera (chunkId)
    MaterialReplaced,   // a material named like an earlier one (value = the earlier one's offset)
    UnknownMaterial,    // a material group naming no material read before it
    TriangleDropped,    // a triangle with a corner outside its object (value = triangle index,
                        // other = the corner, count = the object's vertices)
    LightNotLit,        // a light after the eighth (value = its number, from 1)
    MapPassedOver,      // a material's map other than texture map 1 (chunkId the map's kind,
                        // detail = its file name)
    MapDamaged,         // a sub-chunk that ends a map's walk (chunkId the map's kind)
    UvCountMismatch,    // mapping coordinates not one per vertex, dropped (value = pairs,
                        // count = vertices)
    VerticesNotFinite,  // vertices of a list with a coordinate that is not a number, kept as
                        // read and left out of the bounds (value = those, count = the list's)
    GroupFaceOutside,   // a material group's face outside its face list, passed over
                        // (detail = the material, value = the face, count = the list's faces)
    SmoothingMismatch,  // smoothing groups not one mask per face of their list, passed over
                        // (value = the masks the chunk holds, count = the list's faces)
    TrackDamaged,       // a keyframer node's track without a whole first key (chunkId the
                        // track), passed over
    NodePassedOver,     // a keyframer node that places nothing (value = its NodeFault)
    PlacedCopies,       // an object's copies that keyframer nodes place (count)
};

// Why a keyframer node places no copy.
enum class NodeFault : uint8_t {
    NoMesh,        // no object has its name
    ParentLoop,    // it is among its own parents
    AxesSingular,  // its object's own matrix has no inverse
    NotFinite,     // its matrix is not made of finite numbers
};

struct ImportNote {
    ImportFinding what = ImportFinding::SkippedChunk;
    uint64_t offset = 0;  // where in the file the chunk or item concerned starts
    uint16_t chunkId = 0;
    std::string name;    // the object, material, light or camera concerned
    std::string detail;  // a second name: a map's file, a group's material
    uint64_t value = 0;
    uint64_t other = 0;
    uint64_t count = 0;
};

class ImportListener {
public:
    virtual ~ImportListener() = default;
    virtual void Found(const ImportNote& note) = 0;
};
