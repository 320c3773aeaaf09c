#include "view/TextureMapping.h"

#include <cmath>

namespace {

constexpr uint16_t kTilingMirror = 0x0002;
constexpr uint16_t kTilingNone = 0x0010;
// Newer than OpenGL 1.1, as GL_CLAMP_TO_EDGE is; every context this program draws in has both.
constexpr GLint kMirroredRepeat = 0x8370;

}  // namespace

std::array<GLfloat, 16> TextureMatrix(const TextureMap& map) {
    double su = map.uScale == 0.0f ? 1.0 : map.uScale;
    double sv = map.vScale == 0.0f ? 1.0 : map.vScale;
    double ou = map.uOffset, ov = map.vOffset;
    if (map.tiling & kTilingMirror) {
        su *= 2.0;
        sv *= 2.0;
        ou /= 2.0;
        ov /= 2.0;
    }
    const double angle = -static_cast<double>(map.rotation) * std::acos(-1.0) / 180.0;
    const double c = std::cos(angle), s = std::sin(angle);
    // [a b; d e] = S R; u' = a u + b v + tu, v' = d u + e v + tv.
    const double a = su * c, b = -su * s, d = sv * s, e = sv * c;
    const double tu = 0.5 + a * (ou - 0.5) + b * (ov - 0.5);
    const double tv = 0.5 + d * (ou - 0.5) + e * (ov - 0.5);
    const auto f = [](double x) { return static_cast<GLfloat>(x); };
    return {f(a), f(d), 0, 0, f(b), f(e), 0, 0, 0, 0, 1, 0, f(tu), f(tv), 0, 1};
}

GLint TextureWrap(const TextureMap& map) {
    if (map.tiling & kTilingMirror) return kMirroredRepeat;
    if (map.tiling & kTilingNone) return GL_CLAMP_TO_EDGE;
    return GL_REPEAT;
}
