#include "view/BufferArrays.h"

GLuint BufferArrays::Upload(GLenum target, const void* data, size_t bytes) {
    // Earlier errors are not this upload's.
    for (int i = 0; i < 16 && m_gl.GetError() != GL_NO_ERROR; ++i) {
    }
    const GLuint buffer = m_gl.GenBuffer();
    if (buffer == 0) return 0;
    m_gl.BindBuffer(target, buffer);
    m_gl.BufferData(target, bytes, data);
    if (m_gl.GetError() == GL_NO_ERROR) return buffer;
    m_gl.DeleteBuffer(buffer);
    return 0;
}

void BufferArrays::Switch(GLenum array, bool on, bool& state) {
    if (on == state) return;
    if (on)
        m_gl.EnableClientState(array);
    else
        m_gl.DisableClientState(array);
    state = on;
}

void BufferArrays::Set(bool vertices, bool normals, bool texCoords) {
    Switch(GL_VERTEX_ARRAY, vertices, m_vertexArray);
    Switch(GL_NORMAL_ARRAY, normals, m_normalArray);
    Switch(GL_TEXTURE_COORD_ARRAY, texCoords, m_texCoordArray);
}

void BufferArrays::End() {
    Set(false, false);
    if (!m_gl.HasBuffers()) return;
    m_gl.BindBuffer(GL_ARRAY_BUFFER, 0);
    m_gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}
