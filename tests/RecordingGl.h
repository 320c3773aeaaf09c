// An OpenGL stand-in that records every call with its numbers, so that tests can check what the
// renderer asks of OpenGL without a context.
#pragma once

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "view/GlApi.h"
#include "view/SceneRenderer.h"

struct GlCall {
    std::string name;
    std::vector<double> args;

    bool Is(const std::string& n, std::vector<double> a) const { return name == n && args == a; }
};

class RecordingGl final : public GlApi {
public:
    std::vector<GlCall> calls;
    std::set<GLenum> enabled;  // what Enable turned on and Disable not off again
    bool windowPos = true;     // whether the context has glWindowPos2i
    bool buffers = false;      // whether the context has buffer objects
    bool buffersFull = false;  // BufferData runs out of memory
    size_t bufferBytes = 0;    // bytes given to BufferData

    size_t Count(const std::string& name) const {
        return static_cast<size_t>(std::count_if(calls.begin(), calls.end(),
                                                 [&](const GlCall& c) { return c.name == name; }));
    }
    size_t Count(const std::string& name, const std::vector<double>& args) const {
        return static_cast<size_t>(std::count_if(
            calls.begin(), calls.end(), [&](const GlCall& c) { return c.Is(name, args); }));
    }
    // The index of the first call of that name, or calls.size().
    size_t Find(const std::string& name) const {
        for (size_t i = 0; i < calls.size(); ++i)
            if (calls[i].name == name) return i;
        return calls.size();
    }
    size_t Find(const std::string& name, const std::vector<double>& args, size_t from = 0) const {
        for (size_t i = from; i < calls.size(); ++i)
            if (calls[i].Is(name, args)) return i;
        return calls.size();
    }
    std::vector<GlCall> Named(const std::string& name) const {
        std::vector<GlCall> out;
        for (const GlCall& c : calls)
            if (c.name == name) out.push_back(c);
        return out;
    }

    void UseFixedFunction() override { Add("UseFixedFunction", {}); }
    void Enable(GLenum cap) override {
        Add("Enable", {double(cap)});
        enabled.insert(cap);
    }
    void Disable(GLenum cap) override {
        Add("Disable", {double(cap)});
        enabled.erase(cap);
    }
    void BlendFunc(GLenum s, GLenum d) override { Add("BlendFunc", {double(s), double(d)}); }
    void DepthFunc(GLenum f) override { Add("DepthFunc", {double(f)}); }
    void DepthMask(GLboolean w) override { Add("DepthMask", {double(w)}); }
    void ClearDepth(GLdouble d) override { Add("ClearDepth", {d}); }
    void ShadeModel(GLenum m) override { Add("ShadeModel", {double(m)}); }
    void PolygonMode(GLenum f, GLenum m) override { Add("PolygonMode", {double(f), double(m)}); }
    void PointSize(GLfloat s) override { Add("PointSize", {s}); }
    void LineWidth(GLfloat w) override { Add("LineWidth", {w}); }
    void ColorMask(GLboolean r, GLboolean g, GLboolean b, GLboolean a) override {
        Add("ColorMask", {double(r), double(g), double(b), double(a)});
    }
    void Viewport(GLint x, GLint y, GLsizei w, GLsizei h) override {
        Add("Viewport", {double(x), double(y), double(w), double(h)});
    }
    void ClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) override {
        Add("ClearColor", {r, g, b, a});
    }
    void Clear(GLbitfield m) override { Add("Clear", {double(m)}); }
    void MatrixMode(GLenum m) override { Add("MatrixMode", {double(m)}); }
    void LoadIdentity() override { Add("LoadIdentity", {}); }
    void PushMatrix() override { Add("PushMatrix", {}); }
    void PopMatrix() override { Add("PopMatrix", {}); }
    void Rotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) override {
        Add("Rotatef", {a, x, y, z});
    }
    void Perspective(GLdouble f, GLdouble a, GLdouble n, GLdouble z) override {
        Add("Perspective", {f, a, n, z});
    }
    void LookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
                GLdouble ux, GLdouble uy, GLdouble uz) override {
        Add("LookAt", {ex, ey, ez, cx, cy, cz, ux, uy, uz});
    }
    void Ortho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) override {
        Add("Ortho", {l, r, b, t, n, f});
    }
    void Lightfv(GLenum l, GLenum n, const GLfloat* v) override {
        const int count =
            n == GL_POSITION || n == GL_AMBIENT || n == GL_DIFFUSE || n == GL_SPECULAR ? 4 : 1;
        std::vector<double> args = {double(l), double(n)};
        args.insert(args.end(), v, v + count);
        Add("Lightfv", args);
    }
    void LightModelfv(GLenum n, const GLfloat* v) override {
        Add("LightModelfv", {double(n), v[0], v[1], v[2], v[3]});
    }
    void Materialfv(GLenum f, GLenum n, const GLfloat* v) override {
        Add("Materialfv", {double(f), double(n), v[0], v[1], v[2], v[3]});
    }
    void Materialf(GLenum f, GLenum n, GLfloat v) override {
        Add("Materialf", {double(f), double(n), v});
    }
    void Color3f(GLfloat r, GLfloat g, GLfloat b) override { Add("Color3f", {r, g, b}); }
    void Begin(GLenum m) override { Add("Begin", {double(m)}); }
    void End() override { Add("End", {}); }
    void Vertex3f(GLfloat x, GLfloat y, GLfloat z) override { Add("Vertex3f", {x, y, z}); }
    void Normal3f(GLfloat x, GLfloat y, GLfloat z) override { Add("Normal3f", {x, y, z}); }
    void Finish() override { Add("Finish", {}); }
    bool HasBuffers() const override { return buffers; }
    GLuint GenBuffer() override {
        Add("GenBuffer", {});
        return ++m_lastBuffer;
    }
    void DeleteBuffer(GLuint b) override { Add("DeleteBuffer", {double(b)}); }
    void BindBuffer(GLenum t, GLuint b) override { Add("BindBuffer", {double(t), double(b)}); }
    void BufferData(GLenum t, size_t bytes, const void*) override {
        Add("BufferData", {double(t), double(bytes)});
        bufferBytes += bytes;
        if (buffersFull) m_error = GL_OUT_OF_MEMORY;
    }
    GLenum GetError() override {
        const GLenum error = m_error;
        m_error = GL_NO_ERROR;
        return error;
    }
    void EnableClientState(GLenum a) override { Add("EnableClientState", {double(a)}); }
    void DisableClientState(GLenum a) override { Add("DisableClientState", {double(a)}); }
    void VertexPointer(GLsizei s, size_t o) override {
        Add("VertexPointer", {double(s), double(o)});
    }
    void NormalPointer(GLsizei s, size_t o) override {
        Add("NormalPointer", {double(s), double(o)});
    }
    void DrawArrays(GLenum m, GLint f, GLsizei c) override {
        Add("DrawArrays", {double(m), double(f), double(c)});
    }
    void DrawElements(GLenum m, GLsizei c, size_t o) override {
        Add("DrawElements", {double(m), double(c), double(o)});
    }
    void GetIntegerv(GLenum n, GLint* v) override {
        Add("GetIntegerv", {double(n)});
        *v = n == GL_MAX_TEXTURE_SIZE ? 2048 : 0;
    }
    GLuint GenTexture() override {
        Add("GenTexture", {});
        return ++m_lastTexture;
    }
    void DeleteTexture(GLuint t) override { Add("DeleteTexture", {double(t)}); }
    void BindTexture(GLenum target, GLuint t) override {
        Add("BindTexture", {double(target), double(t)});
    }
    void TexParameteri(GLenum target, GLenum n, GLint v) override {
        Add("TexParameteri", {double(target), double(n), double(v)});
    }
    void TexEnvi(GLenum target, GLenum n, GLint v) override {
        Add("TexEnvi", {double(target), double(n), double(v)});
    }
    bool Build2DMipmaps(GLsizei w, GLsizei h, const void*) override {
        Add("Build2DMipmaps", {double(w), double(h)});
        return true;
    }
    void LoadMatrixf(const GLfloat* m) override {
        Add("LoadMatrixf", std::vector<double>(m, m + 16));
    }
    void MultMatrixf(const GLfloat* m) override {
        Add("MultMatrixf", std::vector<double>(m, m + 16));
    }
    void TexCoord2f(GLfloat u, GLfloat v) override { Add("TexCoord2f", {u, v}); }
    void TexCoordPointer(GLsizei s, size_t o) override {
        Add("TexCoordPointer", {double(s), double(o)});
    }
    GLboolean IsEnabled(GLenum cap) override {
        Add("IsEnabled", {double(cap)});
        return enabled.count(cap) ? GL_TRUE : GL_FALSE;
    }
    void PixelStorei(GLenum n, GLint v) override { Add("PixelStorei", {double(n), double(v)}); }
    void ReadPixels(GLint x, GLint y, GLsizei w, GLsizei h, GLenum f, GLenum t, void*) override {
        Add("ReadPixels", {double(x), double(y), double(w), double(h), double(f), double(t)});
    }
    void DrawPixels(GLsizei w, GLsizei h, GLenum f, GLenum t, const void*) override {
        Add("DrawPixels", {double(w), double(h), double(f), double(t)});
    }
    bool HasWindowPos() const override { return windowPos; }
    void WindowPos2i(GLint x, GLint y) override { Add("WindowPos2i", {double(x), double(y)}); }

private:
    GLuint m_lastBuffer = 0;
    GLuint m_lastTexture = 0;
    GLenum m_error = GL_NO_ERROR;

    void Add(const char* name, std::vector<double> args) {
        calls.push_back({name, std::move(args)});
    }
};

// Stands in for the window a frame is drawn for: its size, a clock the test sets, and a record
// of what each frame handed over.
class RecordingHost final : public FrameClock {
public:
    int width = 400, height = 300;
    int swaps = 0;
    std::vector<NoteLabel> labels;
    std::vector<float> frameRates;
    std::vector<int64_t> clock;  // the ticks to hand out, in turn
    std::function<void()> onSwap;

    int64_t Ticks() const override {
        if (m_next < clock.size()) return clock[m_next++];
        return 0;
    }

    // One frame as the window draws it: drawn, shown, its label drawn, then ended and measured.
    void RenderScene(SceneRenderer& renderer) {
        const DrawnFrame frame = renderer.RenderScene(width, height, *this);
        if (!frame.drawn) return;
        ++swaps;
        if (onSwap) onSwap();
        if (frame.label) labels.push_back(*frame.label);
        frameRates.push_back(renderer.EndFrame(*this));
    }

private:
    mutable size_t m_next = 0;
};
