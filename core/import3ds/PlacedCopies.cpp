#include "import3ds/PlacedCopies.h"

#include <cmath>
#include <string>
#include <unordered_map>

#include "import3ds/ImportReporter.h"

namespace {

const char kDummyName[] = "$$$DUMMY";

Matrix4 Translation(float x, float y, float z) {
    Matrix4 m = IdentityMatrix();
    m[12] = x, m[13] = y, m[14] = z;
    return m;
}

// Each node's matrix with its parents'. Nodes whose chain of parents runs into a loop have none.
class NodeHierarchy {
public:
    explicit NodeHierarchy(const std::vector<KeyframerNode>& nodes)
        : m_nodes(nodes), m_state(nodes.size(), kUnseen), m_world(nodes.size()) {
        // Of nodes with the same id, the first is the parent.
        for (size_t i = 0; i < nodes.size(); ++i)
            m_byId.emplace(nodes[i].id, i);
        for (size_t i = 0; i < nodes.size(); ++i)
            Resolve(i);
    }

    // The node's matrix at frame 0, or none when it is among its own parents.
    const Matrix4* World(size_t node) const {
        return m_state[node] == kPlaced ? &m_world[node] : nullptr;
    }

private:
    enum State : uint8_t { kUnseen, kOnPath, kPlaced, kInLoop };

    // A parent that no node has is no parent: the node stands in the scene itself.
    size_t ParentOf(size_t node) const {
        if (m_nodes[node].parent == KeyframerNode::kNoParent) return SIZE_MAX;
        const auto found = m_byId.find(m_nodes[node].parent);
        return found == m_byId.end() ? SIZE_MAX : found->second;
    }

    // Walks up from node to a placed node, a root or a loop without recursion, then places the
    // path from the top down.
    void Resolve(size_t node) {
        if (m_state[node] != kUnseen) return;
        std::vector<size_t> path;
        size_t at = node;
        State ends = kPlaced;
        while (at != SIZE_MAX && m_state[at] != kPlaced) {
            if (m_state[at] != kUnseen) {  // on this path (a loop) or below one
                ends = kInLoop;
                break;
            }
            m_state[at] = kOnPath;
            path.push_back(at);
            at = ParentOf(at);
        }
        for (size_t k = path.size(); k-- > 0;) {
            const size_t n = path[k];
            const size_t parent = ParentOf(n);
            if (ends == kInLoop || (parent != SIZE_MAX && m_state[parent] == kInLoop)) {
                m_state[n] = kInLoop;
                continue;
            }
            const Matrix4 own = NodeMatrix(m_nodes[n]);
            m_world[n] = parent == SIZE_MAX ? own : MultiplyMatrices(m_world[parent], own);
            m_state[n] = kPlaced;
        }
    }

    const std::vector<KeyframerNode>& m_nodes;
    std::unordered_map<uint16_t, size_t> m_byId;
    std::vector<State> m_state;
    std::vector<Matrix4> m_world;
};

}  // namespace

Matrix4 NodeMatrix(const KeyframerNode& node) {
    Matrix4 m = Translation(node.position[0], node.position[1], node.position[2]);
    const double length =
        std::sqrt(double(node.axis[0]) * node.axis[0] + double(node.axis[1]) * node.axis[1] +
                  double(node.axis[2]) * node.axis[2]);
    if (length > 1e-8 && std::isfinite(length)) {
        const double half = -0.5 * double(node.angle), s = std::sin(half) / length;
        const double x = s * node.axis[0], y = s * node.axis[1], z = s * node.axis[2];
        const double w = std::cos(half);
        // The quaternion's matrix, column by column.
        const double columns[3][3] = {
            {1 - 2 * (y * y + z * z), 2 * (x * y + w * z), 2 * (x * z - w * y)},
            {2 * (x * y - w * z), 1 - 2 * (x * x + z * z), 2 * (y * z + w * x)},
            {2 * (x * z + w * y), 2 * (y * z - w * x), 1 - 2 * (x * x + y * y)}};
        Matrix4 rotation = IdentityMatrix();
        for (int column = 0; column < 3; ++column)
            for (int row = 0; row < 3; ++row)
                rotation[4 * column + row] = static_cast<float>(columns[column][row]);
        m = MultiplyMatrices(m, rotation);
    }
    Matrix4 scale = IdentityMatrix();
    scale[0] = node.scale[0], scale[5] = node.scale[1], scale[10] = node.scale[2];
    return MultiplyMatrices(m, scale);
}

void PlaceCopies(Scene& scene, size_t firstObject, const std::vector<KeyframerNode>& nodes,
                 const std::vector<std::optional<Matrix4>>& axes, ReadBudget& budget,
                 ImportReporter* report) {
    if (nodes.empty()) return;
    std::unordered_map<std::string, std::vector<size_t>> objectsByName;
    for (size_t i = firstObject; i < scene.m_objects.size(); ++i)
        objectsByName[scene.m_objects[i].name].push_back(i);
    const NodeHierarchy hierarchy(nodes);

    // Of a name's nodes, the first ones are its objects themselves; the others copy the first.
    std::unordered_map<std::string, size_t> nodesSeen;
    std::unordered_map<size_t, uint64_t> firstCopyAt;
    std::vector<bool> inverted(scene.m_objects.size() - firstObject, false);
    std::vector<std::optional<Matrix4>> inverse(inverted.size());
    for (size_t n = 0; n < nodes.size(); ++n) {
        const KeyframerNode& node = nodes[n];
        if (node.name == kDummyName) continue;
        const auto named = objectsByName.find(node.name);
        if (named == objectsByName.end()) {
            if (report) report->NodePassedOver(node.offset, node.name, NodeFault::NoMesh);
            continue;
        }
        if (nodesSeen[node.name]++ < named->second.size()) continue;
        const Matrix4* world = hierarchy.World(n);
        if (!world) {
            if (report) report->NodePassedOver(node.offset, node.name, NodeFault::ParentLoop);
            continue;
        }
        const size_t object = named->second.front();
        const size_t slot = object - firstObject;
        if (!inverted[slot]) {
            inverted[slot] = true;
            Matrix4 m = IdentityMatrix();
            if (slot < axes.size() && axes[slot] && !InvertMatrix(*axes[slot], m)) {
                if (report) report->NodePassedOver(node.offset, node.name, NodeFault::AxesSingular);
            } else {
                inverse[slot] = m;
            }
        }
        if (!inverse[slot]) continue;
        const Matrix4 matrix = MultiplyMatrices(
            MultiplyMatrices(*world, Translation(-node.pivot[0], -node.pivot[1], -node.pivot[2])),
            *inverse[slot]);
        if (!IsFiniteMatrix(matrix)) {
            if (report) report->NodePassedOver(node.offset, node.name, NodeFault::NotFinite);
            continue;
        }
        PlacedCopy copy;
        copy.name = node.instance.empty() ? node.name : node.instance;
        copy.matrix = matrix;
        if (!budget.Keep(sizeof(PlacedCopy) + ReadBudget::HeapBytes(copy.name))) return;
        scene.m_objects[object].copies.push_back(std::move(copy));
        firstCopyAt.emplace(object, node.offset);
    }
    if (!report) return;
    for (size_t i = firstObject; i < scene.m_objects.size(); ++i)
        if (!scene.m_objects[i].copies.empty())
            report->PlacedCopies(firstCopyAt[i], scene.m_objects[i].name,
                                 scene.m_objects[i].copies.size());
}
