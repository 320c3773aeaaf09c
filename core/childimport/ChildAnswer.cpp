#include "childimport/ChildAnswer.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <new>
#include <optional>

#include "scene/BulkMemory.h"
#include "scene/FiniteBounds.h"
#include "scene/InputStream.h"
#include "scene/ReadBudget.h"
#include "scene/SceneCheck.h"
#include "scene/SceneFile.h"

namespace {

constexpr char kMagic[4] = {'Z', 'C', 'H', 'A'};

}  // namespace

void AnswerWriter::Begin() {
    if (m_begun) return;
    m_out.Write(kMagic, sizeof kMagic);
    m_begun = true;
}

void AnswerWriter::SendRecord(uint8_t tag) {
    // Its length first, so that the parent reads it only once it is all there.
    Begin();
    m_out.WriteU8(tag);
    m_out.WriteU32(static_cast<uint32_t>(m_record.size()));
    m_out.WriteU32(static_cast<uint32_t>(uint64_t{m_record.size()} >> 32));
    m_out.Write(m_record.data(), m_record.size());
    m_out.Flush();
}

bool AnswerWriter::AnnounceScene(const Scene& scene) {
    if (m_announced || m_sent > 0) return false;
    m_record.clear();
    {
        OutputStream record(m_record);
        WriteScene(record, SceneWithoutObjects(scene));
    }
    SendRecord(kSceneAhead);
    m_announced = true;
    return true;
}

bool AnswerWriter::SendAhead(SceneObject& object) {
    if (ObjectNeedsExtensionBlock(object)) return false;
    m_record.clear();
    {
        OutputStream record(m_record);
        WriteSceneObject(record, object);
    }
    SendRecord(kObjectAhead);
    ++m_sent;
    decltype(object.vertices)().swap(object.vertices);
    decltype(object.meshes)().swap(object.meshes);
    return true;
}

void AnswerWriter::Forget() {
    if (m_sent == 0 && !m_announced) return;
    m_out.WriteU8(kForgetAhead);
    m_sent = 0;
    m_announced = false;
}

void AnswerWriter::Finish(ChildStatus status, const std::vector<std::string>& lines,
                          const Scene* rest, int32_t currentObject) {
    Begin();
    m_out.WriteU8(static_cast<uint8_t>(status));
    m_out.WriteU32(static_cast<uint32_t>(lines.size()));
    for (const std::string& line : lines) {
        m_out.WriteU32(static_cast<uint32_t>(line.size()));
        m_out.Write(line.data(), line.size());
    }
    if (rest) {
        m_out.WriteU32(static_cast<uint32_t>(m_sent));
        m_out.WriteI32(currentObject);
        WriteScene(m_out, *rest);
    }
    m_out.Flush();
}

void WriteChildAnswer(OutputStream& out, ChildStatus status, const std::vector<std::string>& lines,
                      const Scene* scene) {
    AnswerWriter(out).Finish(status, lines, scene, scene ? scene->m_settings.currentObject : -1);
}

AnswerWriter& ChildAnswerWriter() {
    static OutputStream out(stdout);
    static AnswerWriter writer(out);
    return writer;
}

void AnswerAndExit(ChildStatus status, const std::vector<std::string>& lines, Scene* scene) {
    AnswerWriter& writer = ChildAnswerWriter();
    int32_t current = -1;
    if (scene) {
        // The objects sent ahead are the scene's first; the rest is written after them.
        current = scene->m_settings.currentObject;
        auto& objects = scene->m_objects;
        const size_t sent = std::min(writer.SentAhead(), objects.size());
        objects.erase(objects.begin(), objects.begin() + static_cast<std::ptrdiff_t>(sent));
    }
    writer.Finish(status, lines, scene, current);
    std::fflush(stdout);
    _exit(0);
}

ChildAnswerReader::ChildAnswerReader(uint64_t answerLimit) : m_budget(answerLimit) {}

ChildAnswerReader::Step ChildAnswerReader::ReadItems(const uint8_t* data, size_t size) {
    if (!m_begun) {
        if (size < sizeof kMagic) return Step::Short;
        if (std::memcmp(data, kMagic, sizeof kMagic) != 0) return Step::Damaged;
        m_pos = sizeof kMagic;
        m_begun = true;
    }
    // The objects read in one go share huge pages, as the scene file reader's do; the bytes at
    // hand bound the memory they take.
    std::optional<BulkArena> arena;
    while (m_pos < size) {
        const uint8_t tag = data[m_pos];
        if (tag == kForgetAhead) {
            DropAhead();
            ++m_pos;
            continue;
        }
        if (tag != kObjectAhead && tag != kSceneAhead) return Step::Status;
        // The tag, the record's length and the record, read only once all there.
        constexpr size_t kHead = 1 + 8;
        if (size - m_pos < kHead) return Step::Short;
        InputStream head(data + m_pos + 1, 8);
        uint32_t low = 0, high = 0;
        head.ReadU32(low);
        head.ReadU32(high);
        const uint64_t length = low | (uint64_t{high} << 32);
        if (length > size - m_pos - kHead) return Step::Short;
        InputStream in(data + m_pos + kHead, static_cast<size_t>(length));
        if (tag == kSceneAhead) {
            // Once, before the objects, and without any of its own.
            Scene announced;
            ReadExtrasResult extras = ReadExtrasResult::None;
            if (m_announced || !m_coming->m_objects.empty() ||
                ReadScene(in, announced, m_budget, &extras) != ReadSceneResult::Read ||
                extras == ReadExtrasResult::Damaged || extras == ReadExtrasResult::NewerVersion ||
                in.Remaining() != 0 || !announced.m_objects.empty())
                return Step::Damaged;
            *m_coming = std::move(announced);
            m_announced = true;
            m_pos += kHead + static_cast<size_t>(length);
            continue;
        }
        if (!arena) arena.emplace(size - m_pos);
        SceneObject object;
        // Its material is checked once the materials have come.
        if (!m_budget.Keep(2 * sizeof(SceneObject)) ||
            !ReadSceneObject(in, m_budget, INT32_MAX, object) || in.Remaining() != 0)
            return Step::Damaged;
        m_pos += kHead + static_cast<size_t>(length);
        m_coming->m_objects.push_back(std::move(object));
    }
    return Step::Short;
}

size_t ChildAnswerReader::ReadAhead(const uint8_t* data, size_t size) {
    if (m_damaged || m_outOfMemory) return m_pos;
    try {
        m_damaged = ReadItems(data, size) == Step::Damaged;
    } catch (const std::bad_alloc&) {
        m_outOfMemory = true;
    }
    return m_pos;
}

ChildAnswerResult ReadChildAnswer(const uint8_t* data, size_t size, Scene& scene,
                                  std::vector<std::string>& lines) {
    return ChildAnswerReader(size).Finish(data, size, scene, lines);
}

ChildAnswerResult ChildAnswerReader::Finish(const uint8_t* data, size_t size, Scene& scene,
                                            std::vector<std::string>& lines) {
    // Whatever the answer is, what came ahead goes: into the scene or nowhere.
    ChildAnswerResult result = ChildAnswerResult::Garbage;
    try {
        result = FinishInto(data, size, scene, lines);
    } catch (const std::bad_alloc&) {
        DropAhead();
        throw;
    }
    if (result != ChildAnswerResult::Scene || m_coming != &scene) DropAhead();
    m_announced = false;
    return result;
}

void ChildAnswerReader::DropAhead() {
    *m_coming = Scene();
    m_announced = false;
}

ChildAnswerResult ChildAnswerReader::FinishInto(const uint8_t* data, size_t size, Scene& scene,
                                                std::vector<std::string>& lines) {
    lines.clear();
    if (m_outOfMemory) throw std::bad_alloc();
    if (m_damaged || ReadItems(data, size) != Step::Status) return ChildAnswerResult::Garbage;
    InputStream in(data + m_pos, size - m_pos);
    uint8_t status = 0;
    in.ReadU8(status);
    uint32_t count = 0;
    if (!in.ReadU32(count) || status > 3) return ChildAnswerResult::Garbage;
    // Each line takes at least its length's four bytes.
    if (count > in.Remaining() / 4) return ChildAnswerResult::Garbage;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t length = 0;
        if (!in.ReadU32(length) || length > in.Remaining()) return ChildAnswerResult::Garbage;
        std::string line(length, '\0');
        in.Read(line.data(), length);
        lines.push_back(std::move(line));
    }
    const bool ended = in.Remaining() == 0;
    switch (static_cast<ChildStatus>(status)) {
        case ChildStatus::Refused:
            return ended ? ChildAnswerResult::Refused : ChildAnswerResult::Garbage;
        case ChildStatus::OutOfMemory:
            return ended ? ChildAnswerResult::OutOfMemory : ChildAnswerResult::Garbage;
        case ChildStatus::Written:
            return ended ? ChildAnswerResult::Written : ChildAnswerResult::Garbage;
        case ChildStatus::Scene:
            break;
    }
    uint32_t sentAhead = 0;
    int32_t current = -1;
    std::vector<SceneObject>& ahead = m_coming->m_objects;
    if (!in.ReadU32(sentAhead) || sentAhead != ahead.size() || !in.ReadI32(current))
        return ChildAnswerResult::Garbage;
    const size_t restAt = m_pos + static_cast<size_t>(in.Tell());
    InputStream sceneBytes(data + restAt, size - restAt);
    ReadExtrasResult extras = ReadExtrasResult::None;
    Scene rest;
    const ReadSceneResult read = ReadScene(sceneBytes, rest, m_budget, &extras);
    if (read != ReadSceneResult::Read || extras == ReadExtrasResult::Damaged ||
        extras == ReadExtrasResult::NewerVersion)
        return ChildAnswerResult::Garbage;
    if (!ahead.empty()) {
        for (SceneObject& object : ahead)
            if (object.materialIndex >= static_cast<int64_t>(rest.m_materials.size()))
                object.materialIndex = -1;
        rest.m_objects.insert(rest.m_objects.begin(), std::make_move_iterator(ahead.begin()),
                              std::make_move_iterator(ahead.end()));
        MendSceneBounds(rest);
    }
    rest.m_settings.currentObject = IsIndexOf(current, rest.m_objects) ? current : -1;
    CheckSceneInDebug(rest, "import");
    scene = std::move(rest);
    return ChildAnswerResult::Scene;
}
