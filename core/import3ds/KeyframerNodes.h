// The object nodes of a 3D Studio keyframer at frame 0: where the file's author placed each mesh,
// and each further copy of it, through a hierarchy of nodes. Only the first key of each track is
// read: the program shows the scene as it stands before any animation.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/InputStream.h"
#include "scene/ReadBudget.h"

class ImportReporter;

struct KeyframerNode {
    static constexpr uint16_t kNoParent = 0xFFFF;

    uint64_t offset = 0;  // of the node's chunk, for the notes
    uint16_t id = 0;      // the node's place among the keyframer's nodes unless it gives its own
    uint16_t parent = kNoParent;  // the parent's id
    std::string name;             // the mesh it places, or "$$$DUMMY" for a node that only groups
    std::string instance;         // the copy's own name, where the file gives one
    std::array<float, 3> pivot{0, 0, 0};
    std::array<float, 3> position{0, 0, 0};
    float angle = 0;  // radians, about axis
    std::array<float, 3> axis{0, 0, 0};
    std::array<float, 3> scale{1, 1, 1};
};

// The object nodes in the keyframer chunk whose contents are [start, end), in the order of the
// file. A sub-chunk that runs past its parent ends that parent's walk; a track without a whole
// first key is passed over (the report notes it) and the node keeps its default. Stays within
// the budget: once it is spent, the nodes read so far are returned.
std::vector<KeyframerNode> ReadKeyframerNodes(InputStream& in, uint64_t start, uint64_t end,
                                              ReadBudget& budget, ImportReporter* report);
