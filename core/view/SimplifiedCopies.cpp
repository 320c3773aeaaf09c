#include "view/SimplifiedCopies.h"

#include "view/CheckedSimplifier.h"

#include <algorithm>
#include <limits>

namespace {

constexpr size_t kPositionStride = sizeof(SceneVertex);
// How far a simplified surface may stray, relative to the object's extent. The copies are only
// seen while the view moves, so a coarse shape is better than too many triangles.
constexpr float kTargetError = 0.05f;

// Keeps only the vertices levels use, renumbering their corners.
void Compact(SimplifiedObject& copy) {
    std::vector<uint32_t> remap(copy.vertices.size(), std::numeric_limits<uint32_t>::max());
    std::vector<SceneVertex> kept;
    for (std::vector<uint16_t>& level : copy.levels)
        for (uint16_t& corner : level) {
            if (remap[corner] == std::numeric_limits<uint32_t>::max()) {
                remap[corner] = static_cast<uint32_t>(kept.size());
                kept.push_back(copy.vertices[corner]);
            }
            corner = static_cast<uint16_t>(remap[corner]);
        }
    copy.vertices = std::move(kept);
}

}  // namespace

size_t SimplifiedObject::Bytes() const {
    size_t bytes = vertices.size() * sizeof(SceneVertex);
    for (const std::vector<uint16_t>& level : levels)
        bytes += level.size() * sizeof(uint16_t);
    return bytes;
}

size_t OwnBytes(size_t vertices, size_t triangles) {
    return vertices * sizeof(SceneVertex) + triangles * sizeof(SceneMesh);
}

SimplifiedObject SimplifyObject(const ObjectSnapshot& object,
                                const std::function<bool()>& cancelled) {
    SimplifiedObject copy;
    const size_t triangles = object.corners.size() / 3;
    if (triangles < kSmallestCopied || object.vertices.empty()) return copy;
    const float* positions = &object.vertices[0].x;
    // Each run's corners, simplified apart from the others.
    std::vector<size_t> runs = object.runTriangles;
    size_t listed = 0;
    for (size_t run : runs)
        listed += run;
    if (runs.size() < 2 || listed != triangles) runs = {triangles};
    std::vector<std::vector<uint32_t>> indices;
    size_t first = 0;
    for (size_t run : runs) {
        indices.emplace_back(object.corners.begin() + static_cast<ptrdiff_t>(first * 3),
                             object.corners.begin() + static_cast<ptrdiff_t>((first + run) * 3));
        first += run;
    }
    double share = kFinestShare;
    for (int level = 0; level < kDetailLevels; ++level, share /= 2) {
        if (cancelled && cancelled()) return {};
        std::vector<uint16_t> corners;
        std::vector<size_t> ends;
        for (size_t r = 0; r < runs.size(); ++r) {
            // Each level from the one before: fewer triangles to look at, and nested shapes.
            // A run that an earlier level already cut below this level's share stays as it is.
            const size_t target =
                std::max<size_t>(static_cast<size_t>(static_cast<double>(runs[r]) * share), 1) * 3;
            const SimplifyCall call{&indices[r], positions, object.vertices.size(), kPositionStride,
                                    std::min(target, indices[r].size())};
            std::optional<std::vector<uint32_t>> simplified = SimplifyChecked(call, kTargetError);
            // Corners the library would not take make no copy at all: the object is drawn whole.
            if (!simplified) return {};
            indices[r] = std::move(*simplified);
            corners.insert(corners.end(), indices[r].begin(), indices[r].end());
            ends.push_back(corners.size());
        }
        if (corners.empty()) break;
        copy.levels.push_back(std::move(corners));
        if (runs.size() > 1) copy.runEnds.push_back(std::move(ends));
    }
    if (runs.size() > 1) copy.runTriangles = runs;
    copy.vertices = object.vertices;
    Compact(copy);
    return copy;
}

void FitCopies(std::vector<SimplifiedObject>& copies, size_t ownBytes) {
    const auto total = [&copies] {
        size_t bytes = 0;
        for (const SimplifiedObject& copy : copies)
            bytes += copy.Bytes();
        return bytes;
    };
    while (total() > ownBytes / 4) {
        bool dropped = false;
        for (SimplifiedObject& copy : copies) {
            if (copy.levels.empty()) continue;
            copy.levels.erase(copy.levels.begin());
            if (!copy.runEnds.empty()) copy.runEnds.erase(copy.runEnds.begin());
            if (copy.levels.empty()) copy.vertices.clear();
            Compact(copy);
            dropped = true;
        }
        if (!dropped) return;
    }
}
