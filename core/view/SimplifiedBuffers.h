// The simplified copies of the objects held by OpenGL in buffer objects, drawn in the frames
// while the view moves. A copy's buffers are made the first time a frame needs them and kept
// until the copy changes; the flat mode's corners with face normals and the line mode's edges
// are made only when a frame in that mode needs them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "view/BufferArrays.h"
#include "view/GlApi.h"
#include "view/ObjectBuffers.h"
#include "view/SimplifiedScene.h"

class SimplifiedBuffers {
public:
    explicit SimplifiedBuffers(GlApi& gl) : m_gl(gl), m_arrays(gl) {}
    // Deletes the buffers: the context that holds them must be current.
    ~SimplifiedBuffers() { Release(); }
    SimplifiedBuffers(const SimplifiedBuffers&) = delete;
    SimplifiedBuffers& operator=(const SimplifiedBuffers&) = delete;

    // The context that held the buffers is gone: forgets them without calling OpenGL.
    void Forget() {
        m_entries.clear();
        m_arrays.Forget();
    }
    void Release();
    // Deletes the buffers of copies that changed or went with their scene (all of them without
    // copies), so that no old scene's copies stay in OpenGL's memory: the context must be
    // current.
    void DropStale(const SimplifiedScene* copies);

    // Draws the copy of object index at level as shape and returns its triangles, or -1 when
    // it cannot (no copy, or OpenGL out of memory): the caller then draws the object whole.
    // With run >= 0, only that run of a copy made in runs (SimplifiedObject::runTriangles).
    int64_t Draw(size_t index, const SimplifiedScene& copies, int level, ObjectShape shape,
                 int run = -1);
    // After the objects of a frame: no buffer bound and no array enabled.
    void End();

private:
    struct Entry {
        uint64_t serial = 0;
        GLuint vertices = 0;
        std::vector<GLuint> triangles, lines, flat;  // per level, 0 until made
        bool failed = false;
    };

    void ReleaseEntry(Entry& entry);

    GlApi& m_gl;
    std::vector<Entry> m_entries;
    BufferArrays m_arrays;
};
