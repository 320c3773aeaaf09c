// Each object's triangles held by OpenGL in buffer objects, so that a frame draws an object with
// one call per material instead of one Begin/End pair per triangle. The buffers hold the object's
// own positions and normals (and texture coordinates where a textured face needs them), corner by
// corner in the order its runs of faces draw them, so that the pixels are exactly those of the
// Begin/End drawing. A buffer is made the first time a mode needs it and
// kept until the object's geometry changes; materials are set around the draw, so editing one
// touches no buffer.
//
// The lit modes send the corners of a short run of triangles each on its own, without indices, as
// Begin/End does: a driver may treat a short list of triangles differently by how it is sent.
// Mesa's llvmpipe, for one, drops a whole unindexed list of exactly three triangles whose last
// one is flat in screen y (a workaround of its own for one desktop's rectangles), so an object of
// a triangle and two degenerate ones vanishes from the top view when drawn between Begin and
// End, and indices would draw it. A long smooth run is drawn by indices into the object's own
// vertices: the same corners in the same order, but each vertex lit once rather than at each of
// its corners, and its buffers a sixth of the size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/Scene.h"
#include "view/BufferArrays.h"
#include "view/FaceRuns.h"
#include "view/GlApi.h"
#include "view/SmoothingNormals.h"

// What one object is drawn as: corners as points, edges as lines, or triangles with the corner
// normals (smooth) or the face normal at each corner (flat).
enum class ObjectShape { Points, Lines, Smooth, Flat };

class ObjectBuffers {
public:
    explicit ObjectBuffers(GlApi& gl) : m_gl(gl), m_arrays(gl) {}
    // Deletes the buffers: the context that holds them must be current.
    ~ObjectBuffers();
    ObjectBuffers(const ObjectBuffers&) = delete;
    ObjectBuffers& operator=(const ObjectBuffers&) = delete;

    // For a frame drawn once: the vertices are drawn from the objects' own lists, and corners
    // from lists made for the one call, as OpenGL 1.1 draws arrays, rather than copied into
    // buffer objects first; only the index lists still go into buffers. The same corners in the
    // same order give the same pixels; a frame that is drawn again rather keeps buffers.
    void DrawFromSceneMemory(bool on) { m_fromMemory = on; }

    // The scene was replaced (New, Open, Import): every buffer is deleted and made anew when it
    // is next drawn, even where an object's vertices happen to sit where the old ones did.
    void SceneReplaced() { m_replaced = true; }
    // The context that held the buffers is gone: forgets them without calling OpenGL.
    void Forget();
    // Deletes every buffer now.
    void Release();

    // Before the objects of a frame: drops what belongs to objects no longer in the scene.
    void BeginObjects(size_t objectCount);
    // Draws object index of the scene as Points or Lines. False when it cannot be drawn from
    // buffers (no buffer objects, OpenGL out of memory, more corners than one call takes): the
    // caller then draws its triangles between Begin and End.
    bool Draw(size_t index, const SceneObject& o, ObjectShape shape);
    // Draws one run of the object's triangles as Smooth or Flat, in the order runs give, with
    // texture coordinates when textured; Smooth with corners' normals where the object has them
    // (three a triangle) and its vertex normals otherwise. False as for Draw, and then the caller
    // draws the run.
    bool DrawRun(size_t index, const SceneObject& o, ObjectShape shape, const FaceRuns& runs,
                 const FaceRun& run, bool textured, const std::vector<CornerNormal>& corners);
    // After the objects of a frame: no buffer bound and no array enabled, for whatever draws next.
    void EndObjects();

private:
    enum Kind {
        kVertices,
        kPoints,
        kLines,
        kSmooth,
        kFlat,
        kTexCoords,
        kSmoothIndices,
        kVertexTexCoords,
        kKinds
    };
    struct Entry {
        // The object's revision the buffers were made from; another means new buffers.
        uint64_t revision = 0;
        uint64_t runsGeneration = 0;  // the order of the corners
        GLuint buffers[kKinds] = {};
        GLsizei points = 0;  // indices in the points' buffer
        bool failed[kKinds] = {};
    };

    static bool IsIndexList(Kind kind) {
        return kind == kPoints || kind == kLines || kind == kSmoothIndices;
    }
    // A list's bytes: the object's own, or one of m_made.
    struct List {
        const void* data = nullptr;
        size_t bytes = 0;
    };
    // Where a draw takes a list from: a buffer object, or with none bound, memory at base. An
    // offset into the list is added to base.
    struct Source {
        GLuint buffer = 0;
        size_t base = 0;
        bool ok = false;
    };
    // The lists made for a call: dropped once copied into a buffer; drawn from memory, kept for
    // the object's other runs, and their memory for the next object's.
    struct MadeLists {
        std::vector<uint16_t> indices;
        VertexList corners;
        std::vector<SceneUv> texCoords;
        // What they were made from: an object, its revision and the order of its corners.
        size_t object = SIZE_MAX;
        uint64_t revision = 0, generation = 0;
    };

    // The entry of object index, emptied when the object's geometry is not what its buffers hold.
    Entry* EntryFor(size_t index, const SceneObject& o);
    // The list of that kind for o, made into m_made where it is not the object's own.
    List ListOf(size_t index, Entry& entry, const SceneObject& o, Kind kind, const FaceRuns* runs,
                const std::vector<CornerNormal>* corners);
    // The buffer of that kind for o, made if it is not there yet; 0 if it cannot be made.
    GLuint Buffer(size_t index, Entry& entry, const SceneObject& o, Kind kind,
                  const FaceRuns* runs = nullptr,
                  const std::vector<CornerNormal>* corners = nullptr);
    // Where a draw takes that list from: its buffer, or drawn from memory, the list itself.
    Source SourceOf(size_t index, Entry& entry, const SceneObject& o, Kind kind,
                    const FaceRuns* runs = nullptr,
                    const std::vector<CornerNormal>* corners = nullptr);
    void ReleaseEntry(Entry& entry);
    // The vertex and normal arrays from vertices (records of SceneVertex), the texture
    // coordinates from texCoords where there are any, for a lit draw.
    void SetLitArrays(const Source& vertices, const Source* texCoords);
    // Draws a long smooth run by indices into the object's vertices.
    bool DrawIndexedRun(size_t index, Entry& entry, const SceneObject& o, const FaceRuns& runs,
                        const FaceRun& run, bool textured);

    GlApi& m_gl;
    std::vector<Entry> m_entries;
    bool m_replaced = false;
    bool m_fromMemory = false;
    BufferArrays m_arrays;
    MadeLists m_made[kKinds];
};
