// The undo history of the scene's edits. A step keeps, for each record it changed, the record's
// state before and after the edit (never meshes or vertices), and the label that names the
// change in the Edit menu. The history holds at most a fixed number of steps; the oldest go.
//
// An edit that lasts (a slider drag, a handle drag, a key held down) opens a step when it starts
// and closes it when it ends, so that it is undone as one. At most one step is open at a time.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "history/RecordState.h"

// A record an edit is about to change, and what the change is called.
struct StepRecord {
    RecordRef ref;
    std::string label;  // "Diffuse red", "Note position", ...
};

class EditHistory {
public:
    static constexpr size_t kDefaultLimit = 1000;
    using StepId = uint64_t;  // 0 is no step

    struct Change {
        RecordRef ref;
        std::string label;
        RecordState before;
        RecordState after;
    };
    struct Step {
        std::vector<Change> changes;
        // The labels of the changed records, each once, joined by " and ".
        std::string Name() const;
    };

    explicit EditHistory(size_t limit = kDefaultLimit);

    // Opens a step about to change records; their state now is what undo will put back. A step
    // still open is closed first. Records that address nothing are left out.
    StepId Begin(const Scene& scene, const std::vector<StepRecord>& records);
    // Adds records to the open step id, when they are not in it yet (a second mouse button
    // pressed during a drag); with no such step open, opens one as Begin does.
    StepId Join(StepId id, const Scene& scene, const std::vector<StepRecord>& records);
    // Closes step id: the records that changed since it opened become one step to undo, and the
    // steps undone before it can no longer be redone. A step that changed nothing is not kept.
    // Nothing happens when id is not the open step.
    void Commit(StepId id, const Scene& scene);
    // Closes the open step, if any, as Commit does.
    void CommitOpen(const Scene& scene);
    bool IsOpen(StepId id) const { return id != 0 && id == m_openId; }

    // An edit of one moment: opens a step, runs edit, closes the step.
    template <class Edit>
    void Record(Scene& scene, const std::vector<StepRecord>& records, Edit&& edit) {
        const StepId id = Begin(scene, records);
        edit();
        Commit(id, scene);
    }

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    // The name of the step that Undo or Redo would take back or do again; "" when none.
    std::string UndoName() const;
    std::string RedoName() const;

    // Puts back the records of the last step and marks the scene modified; an open step is
    // closed first and opened again afterwards, so that an edit still going on stays recorded.
    // False when there was nothing to undo.
    bool Undo(Scene& scene);
    // Does the last undone step again and marks the scene modified. False when there was none.
    bool Redo(Scene& scene);

    // Forgets every step, the open one included (the scene was replaced).
    void Clear();

    size_t UndoCount() const { return m_undo.size(); }
    size_t RedoCount() const { return m_redo.size(); }
    size_t Limit() const { return m_limit; }
    // The memory the history takes: its steps, their changes and their texts.
    size_t MemoryBytes() const;

    // Called whenever what can be undone or redone may have changed.
    void SetChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

private:
    struct OpenStep {
        std::vector<StepRecord> records;
        std::vector<RecordState> before;
    };

    void Capture(const Scene& scene, const std::vector<StepRecord>& records);
    void Push(Step step);
    // Closes the open step, runs action, and opens the step again; true when action did something.
    bool AroundOpenStep(Scene& scene, const std::function<bool()>& action);
    void Changed();

    size_t m_limit;
    std::deque<Step> m_undo;
    std::vector<Step> m_redo;
    StepId m_openId = 0;
    StepId m_lastId = 0;
    OpenStep m_open;
    std::function<void()> m_changed;
};
