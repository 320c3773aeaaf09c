// How a material's texture map lies on its faces: the texture matrix that carries the file's
// scale, offset and rotation, and how the image repeats beyond 0..1.
#pragma once

#include <array>

#include "scene/Scene.h"
#include "view/GlApi.h"

// The map's transform of (u, v), column by column as glLoadMatrixf takes it. The image turns and
// scales about its middle, after the offset: u' = 0.5 + S R (u + offset - 0.5), where the file's
// rotation counts clockwise in degrees. A mirrored map shows the image and its mirror image in
// one tile, so its scale doubles and its offset halves. A scale of 0 is taken as 1, since it
// would squeeze the whole image into one texel.
std::array<GLfloat, 16> TextureMatrix(const TextureMap& map);

// The wrap mode of both directions: mirrored repeat for a mirrored map, clamped to the image's
// edge for a map that does not tile, repeat otherwise.
GLint TextureWrap(const TextureMap& map);
