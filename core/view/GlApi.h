// The OpenGL calls the scene renderer and the note label make, behind an interface: the real
// one calls the current context (a window's or a headless one), a recording one lets tests check
// every call and its numbers without a context. The OpenGL header is included for its types and
// constants only; nothing here links to an OpenGL library.
#pragma once

#include <GL/gl.h>

#include <cstddef>

class GlApi {
public:
    virtual ~GlApi() = default;

    // Leaves any shader program the toolkit may have bound, so that the fixed-function
    // pipeline draws.
    virtual void UseFixedFunction() = 0;

    virtual void Enable(GLenum cap) = 0;
    virtual void Disable(GLenum cap) = 0;
    virtual void BlendFunc(GLenum source, GLenum destination) = 0;
    virtual void DepthFunc(GLenum func) = 0;
    virtual void DepthMask(GLboolean write) = 0;
    virtual void ClearDepth(GLdouble depth) = 0;
    virtual void ShadeModel(GLenum mode) = 0;
    virtual void PolygonMode(GLenum face, GLenum mode) = 0;
    virtual void PointSize(GLfloat size) = 0;
    virtual void LineWidth(GLfloat width) = 0;
    virtual void ColorMask(GLboolean r, GLboolean g, GLboolean b, GLboolean a) = 0;
    virtual void Viewport(GLint x, GLint y, GLsizei width, GLsizei height) = 0;

    virtual void ClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) = 0;
    virtual void Clear(GLbitfield mask) = 0;

    virtual void MatrixMode(GLenum mode) = 0;
    virtual void LoadIdentity() = 0;
    virtual void PushMatrix() = 0;
    virtual void PopMatrix() = 0;
    virtual void Rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) = 0;
    virtual void MultMatrixf(const GLfloat* matrix) = 0;
    // gluPerspective and gluLookAt of the system's GLU.
    virtual void Perspective(GLdouble fovY, GLdouble aspect, GLdouble zNear, GLdouble zFar) = 0;
    virtual void LookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX,
                        GLdouble centerY, GLdouble centerZ, GLdouble upX, GLdouble upY,
                        GLdouble upZ) = 0;
    virtual void Ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
                       GLdouble zFar) = 0;

    virtual void Lightfv(GLenum light, GLenum name, const GLfloat* values) = 0;
    virtual void LightModelfv(GLenum name, const GLfloat* values) = 0;
    virtual void Materialfv(GLenum face, GLenum name, const GLfloat* values) = 0;
    virtual void Materialf(GLenum face, GLenum name, GLfloat value) = 0;

    virtual void Color3f(GLfloat r, GLfloat g, GLfloat b) = 0;
    virtual void Begin(GLenum mode) = 0;
    virtual void End() = 0;
    virtual void Vertex3f(GLfloat x, GLfloat y, GLfloat z) = 0;
    virtual void Normal3f(GLfloat x, GLfloat y, GLfloat z) = 0;

    virtual void Finish() = 0;

    // Buffer objects and vertex arrays, to draw a whole object with one call. They are newer
    // than OpenGL 1.1: a context without them draws every triangle between Begin and End.
    virtual bool HasBuffers() const = 0;
    // A new buffer name, or 0.
    virtual GLuint GenBuffer() = 0;
    virtual void DeleteBuffer(GLuint buffer) = 0;
    virtual void BindBuffer(GLenum target, GLuint buffer) = 0;
    // Copies bytes into the buffer bound to target, to be drawn many times; GetError says
    // whether they fitted.
    virtual void BufferData(GLenum target, size_t bytes, const void* data) = 0;
    virtual GLenum GetError() = 0;
    virtual void EnableClientState(GLenum array) = 0;
    virtual void DisableClientState(GLenum array) = 0;
    // Three floats per vertex, stride bytes apart, from offset bytes into the bound array buffer.
    virtual void VertexPointer(GLsizei stride, size_t offset) = 0;
    virtual void NormalPointer(GLsizei stride, size_t offset) = 0;
    virtual void DrawArrays(GLenum mode, GLint first, GLsizei count) = 0;
    // count 16-bit indices from offset bytes into the bound element buffer.
    virtual void DrawElements(GLenum mode, GLsizei count, size_t offset) = 0;

    // Texture maps: OpenGL 1.1 texture objects, their levels made by GLU.
    virtual void GetIntegerv(GLenum name, GLint* values) = 0;
    // A new texture name, or 0.
    virtual GLuint GenTexture() = 0;
    virtual void DeleteTexture(GLuint texture) = 0;
    virtual void BindTexture(GLenum target, GLuint texture) = 0;
    virtual void TexParameteri(GLenum target, GLenum name, GLint value) = 0;
    virtual void TexEnvi(GLenum target, GLenum name, GLint value) = 0;
    // gluBuild2DMipmaps of GL_RGBA bytes into the bound 2D texture: the image scaled to powers of
    // two, with every smaller level. False when GLU fails (out of memory, a size it refuses).
    virtual bool Build2DMipmaps(GLsizei width, GLsizei height, const void* rgba) = 0;
    virtual void LoadMatrixf(const GLfloat* matrix) = 0;
    virtual void TexCoord2f(GLfloat u, GLfloat v) = 0;
    // Two floats per corner, stride bytes apart, from offset bytes into the bound array buffer.
    virtual void TexCoordPointer(GLsizei stride, size_t offset) = 0;

    // Pixels read from and written to the framebuffer, for the label drawn on a finished frame.
    virtual GLboolean IsEnabled(GLenum cap) = 0;
    virtual void PixelStorei(GLenum name, GLint value) = 0;
    virtual void ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                            GLenum type, void* pixels) = 0;
    virtual void DrawPixels(GLsizei width, GLsizei height, GLenum format, GLenum type,
                            const void* pixels) = 0;
    // glWindowPos2i places DrawPixels in window coordinates; it is newer than OpenGL 1.1, and a
    // context without it cannot have pixels written back.
    virtual bool HasWindowPos() const = 0;
    virtual void WindowPos2i(GLint x, GLint y) = 0;
};
