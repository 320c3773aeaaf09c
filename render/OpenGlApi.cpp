#include "OpenGlApi.h"

#include <GL/glu.h>

OpenGlApi::OpenGlApi(ProcAddress resolve) {
    if (!resolve) return;
    m_useProgram = reinterpret_cast<UseProgramFn>(resolve("glUseProgram"));
    m_windowPos = reinterpret_cast<WindowPosFn>(resolve("glWindowPos2i"));
    m_genBuffers = reinterpret_cast<GenBuffersFn>(resolve("glGenBuffers"));
    m_deleteBuffers = reinterpret_cast<DeleteBuffersFn>(resolve("glDeleteBuffers"));
    m_bindBuffer = reinterpret_cast<BindBufferFn>(resolve("glBindBuffer"));
    m_bufferData = reinterpret_cast<BufferDataFn>(resolve("glBufferData"));
}

void OpenGlApi::UseFixedFunction() {
    if (m_useProgram) m_useProgram(0);
}

void OpenGlApi::Enable(GLenum cap) {
    glEnable(cap);
}
void OpenGlApi::Disable(GLenum cap) {
    glDisable(cap);
}
void OpenGlApi::BlendFunc(GLenum source, GLenum destination) {
    glBlendFunc(source, destination);
}
void OpenGlApi::DepthFunc(GLenum func) {
    glDepthFunc(func);
}
void OpenGlApi::DepthMask(GLboolean write) {
    glDepthMask(write);
}
void OpenGlApi::ClearDepth(GLdouble depth) {
    glClearDepth(depth);
}
void OpenGlApi::ShadeModel(GLenum mode) {
    glShadeModel(mode);
}
void OpenGlApi::PolygonMode(GLenum face, GLenum mode) {
    glPolygonMode(face, mode);
}
void OpenGlApi::PointSize(GLfloat size) {
    glPointSize(size);
}
void OpenGlApi::LineWidth(GLfloat width) {
    glLineWidth(width);
}
void OpenGlApi::ColorMask(GLboolean r, GLboolean g, GLboolean b, GLboolean a) {
    glColorMask(r, g, b, a);
}
void OpenGlApi::Viewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    glViewport(x, y, width, height);
}
void OpenGlApi::ClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    glClearColor(r, g, b, a);
}
void OpenGlApi::Clear(GLbitfield mask) {
    glClear(mask);
}
void OpenGlApi::MatrixMode(GLenum mode) {
    glMatrixMode(mode);
}
void OpenGlApi::LoadIdentity() {
    glLoadIdentity();
}
void OpenGlApi::PushMatrix() {
    glPushMatrix();
}
void OpenGlApi::PopMatrix() {
    glPopMatrix();
}
void OpenGlApi::Rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    glRotatef(angle, x, y, z);
}
void OpenGlApi::Perspective(GLdouble fovY, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    gluPerspective(fovY, aspect, zNear, zFar);
}
void OpenGlApi::LookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX,
                       GLdouble centerY, GLdouble centerZ, GLdouble upX, GLdouble upY,
                       GLdouble upZ) {
    gluLookAt(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
}
void OpenGlApi::Ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
                      GLdouble zFar) {
    glOrtho(left, right, bottom, top, zNear, zFar);
}
void OpenGlApi::Lightfv(GLenum light, GLenum name, const GLfloat* values) {
    glLightfv(light, name, values);
}
void OpenGlApi::LightModelfv(GLenum name, const GLfloat* values) {
    glLightModelfv(name, values);
}
void OpenGlApi::Materialfv(GLenum face, GLenum name, const GLfloat* values) {
    glMaterialfv(face, name, values);
}
void OpenGlApi::Materialf(GLenum face, GLenum name, GLfloat value) {
    glMaterialf(face, name, value);
}
void OpenGlApi::Color3f(GLfloat r, GLfloat g, GLfloat b) {
    glColor3f(r, g, b);
}
void OpenGlApi::Begin(GLenum mode) {
    glBegin(mode);
}
void OpenGlApi::End() {
    glEnd();
}
void OpenGlApi::Vertex3f(GLfloat x, GLfloat y, GLfloat z) {
    glVertex3f(x, y, z);
}
void OpenGlApi::Normal3f(GLfloat x, GLfloat y, GLfloat z) {
    glNormal3f(x, y, z);
}
void OpenGlApi::Finish() {
    glFinish();
}
bool OpenGlApi::HasBuffers() const {
    return m_genBuffers && m_deleteBuffers && m_bindBuffer && m_bufferData;
}
GLuint OpenGlApi::GenBuffer() {
    GLuint buffer = 0;
    if (m_genBuffers) m_genBuffers(1, &buffer);
    return buffer;
}
void OpenGlApi::DeleteBuffer(GLuint buffer) {
    if (m_deleteBuffers) m_deleteBuffers(1, &buffer);
}
void OpenGlApi::BindBuffer(GLenum target, GLuint buffer) {
    if (m_bindBuffer) m_bindBuffer(target, buffer);
}
void OpenGlApi::BufferData(GLenum target, size_t bytes, const void* data) {
    if (m_bufferData) m_bufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
}
GLenum OpenGlApi::GetError() {
    return glGetError();
}
void OpenGlApi::EnableClientState(GLenum array) {
    glEnableClientState(array);
}
void OpenGlApi::DisableClientState(GLenum array) {
    glDisableClientState(array);
}
// With a buffer bound, the pointer arguments are offsets into it.
void OpenGlApi::VertexPointer(GLsizei stride, size_t offset) {
    glVertexPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(offset));
}
void OpenGlApi::NormalPointer(GLsizei stride, size_t offset) {
    glNormalPointer(GL_FLOAT, stride, reinterpret_cast<const void*>(offset));
}
void OpenGlApi::DrawArrays(GLenum mode, GLint first, GLsizei count) {
    glDrawArrays(mode, first, count);
}
void OpenGlApi::DrawElements(GLenum mode, GLsizei count, size_t offset) {
    glDrawElements(mode, count, GL_UNSIGNED_SHORT, reinterpret_cast<const void*>(offset));
}
void OpenGlApi::GetIntegerv(GLenum name, GLint* values) {
    glGetIntegerv(name, values);
}
GLuint OpenGlApi::GenTexture() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    return texture;
}
void OpenGlApi::DeleteTexture(GLuint texture) {
    glDeleteTextures(1, &texture);
}
void OpenGlApi::BindTexture(GLenum target, GLuint texture) {
    glBindTexture(target, texture);
}
void OpenGlApi::TexParameteri(GLenum target, GLenum name, GLint value) {
    glTexParameteri(target, name, value);
}
void OpenGlApi::TexEnvi(GLenum target, GLenum name, GLint value) {
    glTexEnvi(target, name, value);
}
bool OpenGlApi::Build2DMipmaps(GLsizei width, GLsizei height, const void* rgba) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    return gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                             rgba) == 0;
}
void OpenGlApi::LoadMatrixf(const GLfloat* matrix) {
    glLoadMatrixf(matrix);
}
void OpenGlApi::MultMatrixf(const GLfloat* matrix) {
    glMultMatrixf(matrix);
}
void OpenGlApi::TexCoord2f(GLfloat u, GLfloat v) {
    glTexCoord2f(u, v);
}
void OpenGlApi::TexCoordPointer(GLsizei stride, size_t offset) {
    glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(offset));
}
GLboolean OpenGlApi::IsEnabled(GLenum cap) {
    return glIsEnabled(cap);
}
void OpenGlApi::PixelStorei(GLenum name, GLint value) {
    glPixelStorei(name, value);
}
void OpenGlApi::ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                           GLenum type, void* pixels) {
    glReadPixels(x, y, width, height, format, type, pixels);
}
void OpenGlApi::DrawPixels(GLsizei width, GLsizei height, GLenum format, GLenum type,
                           const void* pixels) {
    glDrawPixels(width, height, format, type, pixels);
}
void OpenGlApi::WindowPos2i(GLint x, GLint y) {
    if (m_windowPos) m_windowPos(x, y);
}
