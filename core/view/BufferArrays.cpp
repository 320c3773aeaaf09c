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

void BufferArrays::Set(bool vertices, bool normals) {
    if (vertices != m_vertexArray) {
        if (vertices)
            m_gl.EnableClientState(GL_VERTEX_ARRAY);
        else
            m_gl.DisableClientState(GL_VERTEX_ARRAY);
        m_vertexArray = vertices;
    }
    if (normals != m_normalArray) {
        if (normals)
            m_gl.EnableClientState(GL_NORMAL_ARRAY);
        else
            m_gl.DisableClientState(GL_NORMAL_ARRAY);
        m_normalArray = normals;
    }
}

void BufferArrays::End() {
    Set(false, false);
    if (!m_gl.HasBuffers()) return;
    m_gl.BindBuffer(GL_ARRAY_BUFFER, 0);
    m_gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}
