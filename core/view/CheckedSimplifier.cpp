#include "view/CheckedSimplifier.h"

#include <meshoptimizer.h>

#include <cmath>
#include <cstring>

bool SimplifierTakes(const SimplifyCall& call) {
    if (!call.indices || call.indices->size() % 3 != 0) return false;
    if (call.stride < 3 * sizeof(float) || call.stride > 256 || call.stride % sizeof(float) != 0)
        return false;
    if (call.targetIndices > call.indices->size()) return false;
    if (call.vertexCount > 0 && !call.positions) return false;
    for (uint32_t index : *call.indices)
        if (index >= call.vertexCount) return false;
    // A position is read through bytes, so that any stride is read without a cast across types.
    const auto* bytes = reinterpret_cast<const unsigned char*>(call.positions);
    for (size_t v = 0; v < call.vertexCount; ++v) {
        float xyz[3];
        std::memcpy(xyz, bytes + v * call.stride, sizeof xyz);
        if (!std::isfinite(xyz[0]) || !std::isfinite(xyz[1]) || !std::isfinite(xyz[2]))
            return false;
    }
    return true;
}

std::optional<std::vector<uint32_t>> SimplifyChecked(const SimplifyCall& call, float targetError) {
    if (!SimplifierTakes(call)) return std::nullopt;
    const std::vector<uint32_t>& indices = *call.indices;
    if (call.targetIndices >= indices.size()) return indices;
    // The library writes up to as many indices as it is given, whatever the target.
    std::vector<uint32_t> out(indices.size());
    size_t count = meshopt_simplify(out.data(), indices.data(), indices.size(), call.positions,
                                    call.vertexCount, call.stride, call.targetIndices, targetError,
                                    0, nullptr);
    if (count > call.targetIndices + call.targetIndices / 2) {
        count = meshopt_simplifySloppy(out.data(), indices.data(), indices.size(), call.positions,
                                       call.vertexCount, call.stride, call.targetIndices,
                                       targetError, nullptr);
    }
    out.resize(count);
    return out;
}
