#include "history/EditHistory.h"

#include <algorithm>

#include "scene/SceneCheck.h"

namespace {

size_t TextHeapBytes(const std::string& text) {
    static const size_t kInPlace = std::string().capacity();
    return text.capacity() > kInPlace ? text.capacity() + 1 : 0;
}

bool Holds(const std::vector<StepRecord>& records, const RecordRef& ref) {
    return std::any_of(records.begin(), records.end(),
                       [&ref](const StepRecord& r) { return r.ref == ref; });
}

}  // namespace

std::string EditHistory::Step::Name() const {
    std::vector<std::string> labels;
    for (const Change& change : changes) {
        if (std::find(labels.begin(), labels.end(), change.label) == labels.end())
            labels.push_back(change.label);
    }
    std::string name;
    for (const std::string& label : labels)
        name += (name.empty() ? "" : " and ") + label;
    return name;
}

EditHistory::EditHistory(size_t limit) : m_limit(std::max<size_t>(limit, 1)) {}

void EditHistory::Capture(const Scene& scene, const std::vector<StepRecord>& records) {
    for (const StepRecord& record : records) {
        if (Holds(m_open.records, record.ref)) continue;
        std::optional<RecordState> state = CaptureRecord(scene, record.ref);
        if (!state) continue;
        m_open.records.push_back(record);
        m_open.before.push_back(std::move(*state));
    }
}

EditHistory::StepId EditHistory::Begin(const Scene& scene, const std::vector<StepRecord>& records) {
    CommitOpen(scene);
    m_openId = ++m_lastId;
    Capture(scene, records);
    return m_openId;
}

EditHistory::StepId EditHistory::Join(StepId id, const Scene& scene,
                                      const std::vector<StepRecord>& records) {
    if (!IsOpen(id)) return Begin(scene, records);
    Capture(scene, records);
    return id;
}

void EditHistory::Commit(StepId id, const Scene& scene) {
    if (!IsOpen(id)) return;
    Step step;
    for (size_t i = 0; i < m_open.records.size(); ++i) {
        std::optional<RecordState> after = CaptureRecord(scene, m_open.records[i].ref);
        if (!after || SameState(m_open.before[i], *after)) continue;
        step.changes.push_back(Change{m_open.records[i].ref, std::move(m_open.records[i].label),
                                      std::move(m_open.before[i]), std::move(*after)});
    }
    m_openId = 0;
    m_open = OpenStep();
    CheckSceneInDebug(scene, "an edit");
    if (!step.changes.empty()) Push(std::move(step));
}

void EditHistory::CommitOpen(const Scene& scene) {
    Commit(m_openId, scene);
}

void EditHistory::Push(Step step) {
    m_redo.clear();
    m_undo.push_back(std::move(step));
    while (m_undo.size() > m_limit)
        m_undo.pop_front();
    Changed();
}

std::string EditHistory::UndoName() const {
    return m_undo.empty() ? std::string() : m_undo.back().Name();
}

std::string EditHistory::RedoName() const {
    return m_redo.empty() ? std::string() : m_redo.back().Name();
}

bool EditHistory::AroundOpenStep(Scene& scene, const std::function<bool()>& action) {
    // An edit still going on is closed here and opened again on the records as they are then,
    // so that what it changes afterwards is recorded too.
    const StepId open = m_openId;
    const std::vector<StepRecord> openRecords = m_open.records;
    CommitOpen(scene);
    const bool done = action();
    if (open != 0) {
        m_openId = open;
        Capture(scene, openRecords);
    }
    if (done) {
        CheckSceneInDebug(scene, "undo or redo");
        scene.m_bModified = true;
        Changed();
    }
    return done;
}

bool EditHistory::Undo(Scene& scene) {
    return AroundOpenStep(scene, [this, &scene] {
        if (m_undo.empty()) return false;
        Step step = std::move(m_undo.back());
        m_undo.pop_back();
        for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it)
            RestoreRecord(scene, it->ref, it->before);
        m_redo.push_back(std::move(step));
        return true;
    });
}

bool EditHistory::Redo(Scene& scene) {
    // An open step that changed something starts a new branch: nothing is left to redo then.
    return AroundOpenStep(scene, [this, &scene] {
        if (m_redo.empty()) return false;
        Step step = std::move(m_redo.back());
        m_redo.pop_back();
        for (const Change& change : step.changes)
            RestoreRecord(scene, change.ref, change.after);
        m_undo.push_back(std::move(step));
        return true;
    });
}

void EditHistory::Clear() {
    m_undo.clear();
    m_redo.clear();
    m_openId = 0;
    m_open = OpenStep();
    Changed();
}

size_t EditHistory::MemoryBytes() const {
    auto stepBytes = [](const Step& step) {
        size_t bytes = step.changes.capacity() * sizeof(Change);
        for (const Change& change : step.changes) {
            bytes += TextHeapBytes(change.label);
            bytes += StateHeapBytes(change.before) + StateHeapBytes(change.after);
        }
        return bytes;
    };
    size_t bytes = sizeof(*this) + (m_undo.size() + m_redo.capacity()) * sizeof(Step);
    for (const Step& step : m_undo)
        bytes += stepBytes(step);
    for (const Step& step : m_redo)
        bytes += stepBytes(step);
    return bytes;
}

void EditHistory::Changed() {
    if (m_changed) m_changed();
}
