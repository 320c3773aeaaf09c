// What every set of buffer objects does with OpenGL: uploads a block into a new buffer object,
// and switches the vertex, normal and texture coordinate arrays only when they change.
#pragma once

#include <cstddef>

#include "view/GlApi.h"

class BufferArrays {
public:
    explicit BufferArrays(GlApi& gl) : m_gl(gl) {}

    // A new buffer object of target holding bytes from data, left bound; 0 when OpenGL cannot
    // make it (out of memory), and then nothing is left behind.
    GLuint Upload(GLenum target, const void* data, size_t bytes);
    // The vertex, normal and texture coordinate arrays enabled as asked.
    void Set(bool vertices, bool normals, bool texCoords = false);
    // No buffer bound and no array enabled, as drawing without buffers expects.
    void End();
    // A new context starts with every array disabled.
    void Forget() { m_vertexArray = m_normalArray = m_texCoordArray = false; }

private:
    void Switch(GLenum array, bool on, bool& state);

    GlApi& m_gl;
    bool m_vertexArray = false;
    bool m_normalArray = false;
    bool m_texCoordArray = false;
};
