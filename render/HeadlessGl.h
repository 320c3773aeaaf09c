// An OpenGL context that needs no display: Mesa's surfaceless EGL platform, drawing into a
// framebuffer object of a fixed size with a 24-bit depth buffer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class HeadlessGl {
public:
    enum class ColorBuffer { Bytes, Floats };

    // Makes a context current with a framebuffer of width x height; null with a reason on failure.
    static std::unique_ptr<HeadlessGl> Create(int width, int height, ColorBuffer color,
                                              std::string& error);
    ~HeadlessGl();
    HeadlessGl(const HeadlessGl&) = delete;
    HeadlessGl& operator=(const HeadlessGl&) = delete;

    // Finds an OpenGL function of this context.
    static void* ProcAddress(const char* name);

    // The framebuffer's pixels, RGBA bytes from the top row down.
    std::vector<uint8_t> ReadPixels() const;
    // The framebuffer's pixels as floats, RGBA from the top row down.
    std::vector<float> ReadPixelsFloat() const;

private:
    HeadlessGl() = default;
    bool Init(int width, int height, ColorBuffer color, std::string& error);

    int m_width = 0;
    int m_height = 0;
    void* m_display = nullptr;
    void* m_context = nullptr;
    unsigned m_framebuffer = 0;
    unsigned m_renderbuffers[2] = {0, 0};
};
