// The one place the program calls meshoptimizer's simplifiers. The library checks its arguments
// with assertions that Debian's build keeps, and an assertion ends the program, so every argument
// is checked here against the library's stated contract before each call: a call it would not
// take is not made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The arguments of one call.
struct SimplifyCall {
    const std::vector<uint32_t>* indices = nullptr;  // three corners a triangle
    const float* positions = nullptr;                // x, y, z at the start of each vertex
    size_t vertexCount = 0;
    size_t stride = 0;  // bytes from one vertex's position to the next
    size_t targetIndices = 0;
};

// Whether the library takes the call: whole triangles, a stride of whole floats between a
// position's 12 bytes and 256, a target no larger than the indices given, every index naming a
// vertex, and every vertex at a finite position (the library scales all of them into a unit box and
// would turn a NaN or an infinity into an integer cell).
bool SimplifierTakes(const SimplifyCall& call);

// The triangles of call.indices simplified towards call.targetIndices, keeping the surface's
// borders; a surface whose borders and seams keep it from getting near the target is cut down
// by the sloppy method, which ignores them. Nothing when the library would not take the call.
// A target at or above what is given returns the indices as they are.
std::optional<std::vector<uint32_t>> SimplifyChecked(const SimplifyCall& call, float targetError);
