#include "view/DrawGeometry.h"

#include <cmath>

float BoundsSize(const SceneSettings& s) {
    return std::fabs(s.maxX) + std::fabs(s.minX) + std::fabs(s.maxY) + std::fabs(s.minY) +
           std::fabs(s.maxZ) + std::fabs(s.minZ);
}

float GridSpacing(const SceneSettings& s) {
    return 0.2f * BoundsSize(s) / 6.0f;
}

float MarkerSize(const SceneSettings& s) {
    return BoundsSize(s) / 6.0f / 39.0f;
}
