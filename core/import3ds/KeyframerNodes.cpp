#include "import3ds/KeyframerNodes.h"

#include "import3ds/ChunkIds.h"
#include "import3ds/ImportReporter.h"
#include "scene/ByteOrder.h"

namespace {

constexpr uint64_t kHeaderSize = 6;
// Flags before a track's keys, two words the format leaves unused, and the number of keys.
constexpr uint64_t kTrackHeader = 2 + 4 + 4 + 4;

class NodeReader {
public:
    NodeReader(InputStream& in, ReadBudget& budget, ImportReporter* report)
        : m_in(in), m_budget(budget), m_report(report) {}

    // Calls visit(offset, id, length) for each chunk of [start, end); false once the budget is
    // spent. A chunk too short for its header or running past end ends the walk.
    template <class Visit>
    bool Walk(uint64_t start, uint64_t end, Visit visit) {
        for (uint64_t pos = start; pos + kHeaderSize <= end;) {
            m_in.Seek(pos);
            uint16_t id;
            uint32_t length;
            if (!m_budget.Look(kHeaderSize)) return false;
            if (!m_in.ReadU16(id) || !m_in.ReadU32(length) || length < kHeaderSize) break;
            if (m_report) m_report->CheckLength(pos, id, length, end);
            if (length > end - pos) break;
            if (!visit(pos, id, length)) return false;
            pos += length;
        }
        return !m_budget.Spent();
    }

    std::vector<KeyframerNode> Read(uint64_t start, uint64_t end) {
        std::vector<KeyframerNode> nodes;
        uint16_t ordinal = 0;
        Walk(start, end, [&](uint64_t pos, uint16_t id, uint32_t length) {
            if (id < chunk::kAmbientNode || id > chunk::kSpotlightNode) {
                if (m_report) m_report->Skipped(pos, id);
                return true;
            }
            // Every kind of node counts towards the ids of those that do not give their own.
            const uint16_t place = ordinal++;
            if (id != chunk::kObjectNode) {
                if (m_report) m_report->Skipped(pos, id);
                return true;
            }
            KeyframerNode node;
            node.offset = pos;
            node.id = place;
            if (!ReadNode(pos + kHeaderSize, pos + length, node) ||
                !m_budget.Keep(sizeof(KeyframerNode) + ReadBudget::HeapBytes(node.name) +
                               ReadBudget::HeapBytes(node.instance)))
                return false;
            nodes.push_back(std::move(node));
            return true;
        });
        return nodes;
    }

private:
    bool ReadNode(uint64_t start, uint64_t end, KeyframerNode& node) {
        return Walk(start, end, [&](uint64_t pos, uint16_t id, uint32_t length) {
            const uint64_t size = length - kHeaderSize;
            switch (id) {
                case chunk::kNodeId:
                    if (size >= 2) m_in.ReadU16(node.id);
                    break;
                case chunk::kNodeHeader: {
                    uint16_t flags;
                    if (!ReadName(node.name, pos + length) || !m_in.ReadU16(flags) ||
                        !m_in.ReadU16(flags) || m_in.Tell() + 2 > pos + length ||
                        !m_in.ReadU16(node.parent))
                        node.parent = KeyframerNode::kNoParent;
                    break;
                }
                case chunk::kInstanceName:
                    if (!ReadName(node.instance, pos + length)) node.instance.clear();
                    break;
                case chunk::kPivot:
                    ReadFloats(size, node.pivot.data(), 3);
                    break;
                case chunk::kPositionTrack:
                    ReadFirstKey(pos, id, length, node, node.position.data(), 3);
                    break;
                case chunk::kRotationTrack: {
                    float value[4];
                    if (ReadFirstKey(pos, id, length, node, value, 4)) {
                        node.angle = value[0];
                        node.axis = {value[1], value[2], value[3]};
                    }
                    break;
                }
                case chunk::kScaleTrack:
                    ReadFirstKey(pos, id, length, node, node.scale.data(), 3);
                    break;
                default:
                    if (m_report) m_report->Skipped(pos, id);
                    break;
            }
            return m_budget.Look(size);
        });
    }

    // A name up to its zero byte, which must come before end.
    bool ReadName(std::string& name, uint64_t end) {
        return m_in.ReadCString(name) && m_in.Tell() <= end;
    }

    bool ReadFloats(uint64_t size, float* values, int count) {
        if (size < 4 * uint64_t(count)) return false;
        for (int i = 0; i < count; ++i)
            if (!m_in.ReadF32(values[i])) return false;
        return true;
    }

    // The value of a track's first key: its frame, its flags and the spline values they say it
    // has, then count floats. False, and noted, when the track holds no whole first key.
    bool ReadFirstKey(uint64_t pos, uint16_t id, uint32_t length, const KeyframerNode& node,
                      float* values, int count) {
        const uint64_t end = pos + length;
        uint32_t keys = 0, frame;
        uint16_t flags = 0;
        bool read = m_in.Skip(kTrackHeader - 4) && m_in.ReadU32(keys) && keys > 0 &&
                    m_in.ReadU32(frame) && m_in.ReadU16(flags);
        // Tension, continuity, bias, ease to and ease from, each a float where its bit is set.
        for (int bit = 0; read && bit < 5; ++bit)
            if (flags & (1u << bit)) read = m_in.Skip(4);
        float value[4];
        read = read && m_in.Tell() <= end && ReadFloats(end - m_in.Tell(), value, count);
        if (!read) {
            if (m_report) m_report->TrackDamaged(pos, id, node.name);
            return false;
        }
        for (int i = 0; i < count; ++i)
            values[i] = value[i];
        return true;
    }

    InputStream& m_in;
    ReadBudget& m_budget;
    ImportReporter* m_report;
};

}  // namespace

std::vector<KeyframerNode> ReadKeyframerNodes(InputStream& in, uint64_t start, uint64_t end,
                                              ReadBudget& budget, ImportReporter* report) {
    return NodeReader(in, budget, report).Read(start, end);
}
