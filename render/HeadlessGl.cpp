#include "HeadlessGl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

namespace {

// The framebuffer-object functions, which are beyond OpenGL 1.1.
struct FramebufferFunctions {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

    bool Load() {
        Resolve(genFramebuffers, "glGenFramebuffers");
        Resolve(bindFramebuffer, "glBindFramebuffer");
        Resolve(deleteFramebuffers, "glDeleteFramebuffers");
        Resolve(genRenderbuffers, "glGenRenderbuffers");
        Resolve(bindRenderbuffer, "glBindRenderbuffer");
        Resolve(deleteRenderbuffers, "glDeleteRenderbuffers");
        Resolve(renderbufferStorage, "glRenderbufferStorage");
        Resolve(framebufferRenderbuffer, "glFramebufferRenderbuffer");
        Resolve(checkFramebufferStatus, "glCheckFramebufferStatus");
        return genFramebuffers && bindFramebuffer && deleteFramebuffers && genRenderbuffers &&
               bindRenderbuffer && deleteRenderbuffers && renderbufferStorage &&
               framebufferRenderbuffer && checkFramebufferStatus;
    }

    template <class Fn>
    static void Resolve(Fn& fn, const char* name) {
        fn = reinterpret_cast<Fn>(eglGetProcAddress(name));
    }
};

FramebufferFunctions& Fbo() {
    static FramebufferFunctions functions;
    return functions;
}

// The framebuffer's rows, which OpenGL gives from the bottom up, from the top down.
template <class Channel>
std::vector<Channel> ReadRows(int width, int height, GLenum type) {
    const size_t row = static_cast<size_t>(width) * 4;
    std::vector<Channel> bottomUp(row * static_cast<size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, type, bottomUp.data());
    std::vector<Channel> topDown(bottomUp.size());
    for (int y = 0; y < height; ++y) {
        std::memcpy(topDown.data() + static_cast<size_t>(y) * row,
                    bottomUp.data() + static_cast<size_t>(height - 1 - y) * row,
                    row * sizeof(Channel));
    }
    return topDown;
}

}  // namespace

void* HeadlessGl::ProcAddress(const char* name) {
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

std::unique_ptr<HeadlessGl> HeadlessGl::Create(int width, int height, ColorBuffer color,
                                               std::string& error) {
    std::unique_ptr<HeadlessGl> gl(new HeadlessGl);
    if (!gl->Init(width, height, color, error)) return nullptr;
    return gl;
}

bool HeadlessGl::Init(int width, int height, ColorBuffer color, std::string& error) {
    if (width <= 0 || height <= 0) {
        error = "the picture needs a width and a height of at least one pixel";
        return false;
    }
    m_width = width;
    m_height = height;
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLDisplay display = getPlatformDisplay ? getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA,
                                                                 EGL_DEFAULT_DISPLAY, nullptr)
                                            : EGL_NO_DISPLAY;
    EGLint major = 0, minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
        error = "no OpenGL without a display here (Mesa's surfaceless EGL platform is missing)";
        return false;
    }
    m_display = display;
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!eglBindAPI(EGL_OPENGL_API) ||
        !eglChooseConfig(display, configAttributes, &config, 1, &configs) || configs < 1) {
        error = "no desktop OpenGL configuration without a display";
        return false;
    }
    const EGLint contextAttributes[] = {EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT ||
        !eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        error = "could not make an OpenGL context without a display";
        return false;
    }
    m_context = context;

    FramebufferFunctions& f = Fbo();
    if (!f.Load()) {
        error = "the OpenGL driver has no framebuffer objects";
        return false;
    }
    f.genFramebuffers(1, &m_framebuffer);
    f.bindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    f.genRenderbuffers(2, m_renderbuffers);
    f.bindRenderbuffer(GL_RENDERBUFFER, m_renderbuffers[0]);
    f.renderbufferStorage(GL_RENDERBUFFER, color == ColorBuffer::Floats ? GL_RGBA32F : GL_RGBA8,
                          width, height);
    f.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              m_renderbuffers[0]);
    f.bindRenderbuffer(GL_RENDERBUFFER, m_renderbuffers[1]);
    f.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    f.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                              m_renderbuffers[1]);
    if (f.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "the OpenGL driver cannot draw into a framebuffer of this size";
        return false;
    }
    glViewport(0, 0, width, height);
    return true;
}

HeadlessGl::~HeadlessGl() {
    if (m_context) {
        FramebufferFunctions& f = Fbo();
        if (m_framebuffer) f.deleteFramebuffers(1, &m_framebuffer);
        if (m_renderbuffers[0]) f.deleteRenderbuffers(2, m_renderbuffers);
        eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(m_display, m_context);
    }
    if (m_display) eglTerminate(m_display);
}

std::vector<uint8_t> HeadlessGl::ReadPixels() const {
    return ReadRows<uint8_t>(m_width, m_height, GL_UNSIGNED_BYTE);
}

std::vector<float> HeadlessGl::ReadPixelsFloat() const {
    return ReadRows<float>(m_width, m_height, GL_FLOAT);
}
