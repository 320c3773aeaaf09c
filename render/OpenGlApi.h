// The renderer's and the label's calls made on the current OpenGL context, with GLU for the
// perspective and the look-at matrices.
#pragma once

#include "view/GlApi.h"

class OpenGlApi final : public GlApi {
public:
    using ProcAddress = void* (*)(const char* name);
    // resolve finds functions beyond OpenGL 1.1 in the current context; may be null.
    explicit OpenGlApi(ProcAddress resolve);

    void UseFixedFunction() override;
    void Enable(GLenum cap) override;
    void Disable(GLenum cap) override;
    void BlendFunc(GLenum source, GLenum destination) override;
    void DepthFunc(GLenum func) override;
    void DepthMask(GLboolean write) override;
    void ClearDepth(GLdouble depth) override;
    void ShadeModel(GLenum mode) override;
    void PolygonMode(GLenum face, GLenum mode) override;
    void PointSize(GLfloat size) override;
    void LineWidth(GLfloat width) override;
    void ColorMask(GLboolean r, GLboolean g, GLboolean b, GLboolean a) override;
    void Viewport(GLint x, GLint y, GLsizei width, GLsizei height) override;
    void ClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) override;
    void Clear(GLbitfield mask) override;
    void MatrixMode(GLenum mode) override;
    void LoadIdentity() override;
    void PushMatrix() override;
    void PopMatrix() override;
    void Rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) override;
    void Perspective(GLdouble fovY, GLdouble aspect, GLdouble zNear, GLdouble zFar) override;
    void LookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
                GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ) override;
    void Ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
               GLdouble zFar) override;
    void Lightfv(GLenum light, GLenum name, const GLfloat* values) override;
    void LightModelfv(GLenum name, const GLfloat* values) override;
    void Materialfv(GLenum face, GLenum name, const GLfloat* values) override;
    void Materialf(GLenum face, GLenum name, GLfloat value) override;
    void Color3f(GLfloat r, GLfloat g, GLfloat b) override;
    void Begin(GLenum mode) override;
    void End() override;
    void Vertex3f(GLfloat x, GLfloat y, GLfloat z) override;
    void Normal3f(GLfloat x, GLfloat y, GLfloat z) override;
    void Finish() override;
    bool HasBuffers() const override;
    GLuint GenBuffer() override;
    void DeleteBuffer(GLuint buffer) override;
    void BindBuffer(GLenum target, GLuint buffer) override;
    void BufferData(GLenum target, size_t bytes, const void* data) override;
    GLenum GetError() override;
    void EnableClientState(GLenum array) override;
    void DisableClientState(GLenum array) override;
    void VertexPointer(GLsizei stride, size_t offset) override;
    void NormalPointer(GLsizei stride, size_t offset) override;
    void DrawArrays(GLenum mode, GLint first, GLsizei count) override;
    void DrawElements(GLenum mode, GLsizei count, size_t offset) override;
    void GetIntegerv(GLenum name, GLint* values) override;
    GLuint GenTexture() override;
    void DeleteTexture(GLuint texture) override;
    void BindTexture(GLenum target, GLuint texture) override;
    void TexParameteri(GLenum target, GLenum name, GLint value) override;
    void TexEnvi(GLenum target, GLenum name, GLint value) override;
    bool Build2DMipmaps(GLsizei width, GLsizei height, const void* rgba) override;
    void LoadMatrixf(const GLfloat* matrix) override;
    void MultMatrixf(const GLfloat* matrix) override;
    void TexCoord2f(GLfloat u, GLfloat v) override;
    void TexCoordPointer(GLsizei stride, size_t offset) override;
    GLboolean IsEnabled(GLenum cap) override;
    void PixelStorei(GLenum name, GLint value) override;
    void ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                    void* pixels) override;
    void DrawPixels(GLsizei width, GLsizei height, GLenum format, GLenum type,
                    const void* pixels) override;
    bool HasWindowPos() const override { return m_windowPos != nullptr; }
    void WindowPos2i(GLint x, GLint y) override;

private:
    using UseProgramFn = void (*)(GLuint);
    UseProgramFn m_useProgram = nullptr;
    using WindowPosFn = void (*)(GLint, GLint);
    WindowPosFn m_windowPos = nullptr;
    using GenBuffersFn = void (*)(GLsizei, GLuint*);
    GenBuffersFn m_genBuffers = nullptr;
    using DeleteBuffersFn = void (*)(GLsizei, const GLuint*);
    DeleteBuffersFn m_deleteBuffers = nullptr;
    using BindBufferFn = void (*)(GLenum, GLuint);
    BindBufferFn m_bindBuffer = nullptr;
    using BufferDataFn = void (*)(GLenum, GLsizeiptr, const void*, GLenum);
    BufferDataFn m_bufferData = nullptr;
};
