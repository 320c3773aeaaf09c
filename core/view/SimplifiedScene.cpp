#include "view/SimplifiedScene.h"

#include <algorithm>
#include <chrono>

#include "view/FaceRuns.h"

ObjectSnapshot TakeSnapshot(const SceneObject& object) {
    return TakeSnapshot(object, MakeFaceRuns(object));
}

ObjectSnapshot TakeSnapshot(const SceneObject& object, const FaceRuns& runs) {
    ObjectSnapshot snapshot;
    snapshot.vertices.assign(object.vertices.begin(), object.vertices.end());
    snapshot.corners.reserve(object.meshes.size() * 3);
    for (size_t p = 0; p < object.meshes.size(); ++p) {
        const SceneMesh& m = object.meshes[runs.Triangle(p)];
        snapshot.corners.insert(snapshot.corners.end(), {m.a, m.b, m.c});
    }
    if (runs.runs.size() > 1)
        for (const FaceRun& run : runs.runs)
            snapshot.runTriangles.push_back(run.count);
    return snapshot;
}

SimplifiedScene::SimplifiedScene(std::function<void()> ready)
    : m_ready(std::move(ready)), m_thread([this] { Work(); }) {}

SimplifiedScene::~SimplifiedScene() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        ++m_epoch;
    }
    m_wake.notify_all();
    m_thread.join();
}

void SimplifiedScene::SceneReplaced() {
    m_entries.clear();
    m_ownRuns.SceneReplaced();
    m_levelTriangles.clear();
    m_buildMs = 0;
    const std::lock_guard<std::mutex> lock(m_mutex);
    ++m_epoch;  // the object under way is cut short
    m_queue.clear();
    m_done.clear();
}

bool SimplifiedScene::Refresh(const Scene& scene, FaceRunCache& runs, double sliceMs) {
    const std::vector<SceneObject>& objects = scene.m_objects;
    bool changed = m_entries.size() != objects.size();
    m_entries.resize(objects.size());
    for (size_t i = 0; i < objects.size(); ++i) {
        const SceneObject& o = objects[i];
        Entry& e = m_entries[i];
        if (e.revision == o.revision && e.serial != 0) continue;
        // A copy of the old lists that is still under way is not taken: its serial is gone.
        e = Entry{};
        e.revision = o.revision;
        e.meshCount = o.meshes.size();
        e.serial = ++m_serials;
        // Objects too small for a copy are drawn whole and need none.
        e.pending = e.meshCount >= kSmallestCopied;
        changed = true;
    }
    if (changed) {
        m_ownBytes = 0;
        for (const SceneObject& o : objects)
            m_ownBytes += OwnBytes(o.vertices.size(), o.meshes.size());
        Fit();
    }
    // At least one object a call, however short the slice.
    const auto start = std::chrono::steady_clock::now();
    bool handed = false;
    for (size_t i = 0; i < objects.size(); ++i) {
        Entry& e = m_entries[i];
        if (!e.pending || e.handedOver) continue;
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (handed && sliceMs > 0 && ms >= sliceMs) return true;
        handed = true;
        Item item;
        item.index = i;
        item.serial = e.serial;
        item.snapshot = TakeSnapshot(objects[i], runs.For(i, objects[i]));
        e.handedOver = true;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            item.epoch = m_epoch;
            m_queue.push_back(std::move(item));
        }
        m_wake.notify_all();
    }
    return false;
}

bool SimplifiedScene::Collect() {
    std::vector<Item> done;
    uint64_t epoch = 0;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        done.swap(m_done);
        epoch = m_epoch;
    }
    bool any = false;
    for (Item& item : done) {
        if (item.epoch != epoch || item.index >= m_entries.size()) continue;
        Entry& e = m_entries[item.index];
        if (!e.pending || e.serial != item.serial) continue;
        e.copy = std::move(item.copy);
        e.pending = false;
        e.serial = ++m_serials;
        m_buildMs += item.ms;
        any = true;
    }
    if (any) Fit();
    return any;
}

void SimplifiedScene::WaitIdle() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_wake.wait(lock, [this] { return m_queue.empty() && !m_busy; });
}

bool SimplifiedScene::Ready() const {
    return std::none_of(m_entries.begin(), m_entries.end(),
                        [](const Entry& e) { return e.pending; });
}

const SimplifiedObject* SimplifiedScene::Copy(size_t index) const {
    if (index >= m_entries.size() || m_entries[index].copy.levels.empty()) return nullptr;
    return &m_entries[index].copy;
}

uint64_t SimplifiedScene::Serial(size_t index) const {
    return index < m_entries.size() ? m_entries[index].serial : 0;
}

size_t SimplifiedScene::Bytes() const {
    size_t bytes = 0;
    for (const Entry& e : m_entries)
        bytes += e.copy.Bytes();
    return bytes;
}

void SimplifiedScene::Fit() {
    std::vector<SimplifiedObject> copies;
    std::vector<size_t> levelCounts;
    copies.reserve(m_entries.size());
    for (Entry& e : m_entries) {
        levelCounts.push_back(e.copy.levels.size());
        copies.push_back(std::move(e.copy));
    }
    FitCopies(copies, m_ownBytes);
    bool anyCopy = false;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        Entry& e = m_entries[i];
        // A copy cut down is a new copy; one still to come keeps the serial it is asked with.
        if (copies[i].levels.size() != levelCounts[i]) e.serial = ++m_serials;
        e.copy = std::move(copies[i]);
        anyCopy = anyCopy || !e.copy.levels.empty();
    }
    m_levelTriangles.clear();
    if (!anyCopy) return;
    for (size_t level = 0; level < static_cast<size_t>(kDetailLevels); ++level) {
        int64_t triangles = 0;
        for (const Entry& e : m_entries) {
            const std::vector<std::vector<uint16_t>>& levels = e.copy.levels;
            triangles += levels.empty() ? static_cast<int64_t>(e.meshCount)
                                        : e.copy.Triangles(std::min(level, levels.size() - 1));
        }
        m_levelTriangles.push_back(triangles);
    }
}

void SimplifiedScene::Work() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_stop) return;
        Item item = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        lock.unlock();

        const auto start = std::chrono::steady_clock::now();
        // Asked between the steps: a replaced scene or the end makes the copy moot.
        const auto cancelled = [this, &item] {
            const std::lock_guard<std::mutex> guard(m_mutex);
            return m_stop || m_epoch != item.epoch;
        };
        // A copy is only an optimisation: whatever goes wrong while it is made (memory that
        // cannot be had, above all) leaves the object without one, drawn whole, and the
        // program running.
        try {
            item.copy = SimplifyObject(item.snapshot, cancelled);
        } catch (...) {
            item.copy = SimplifiedObject{};
        }
        item.snapshot = ObjectSnapshot{};  // its memory goes as soon as it is done
        item.ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();

        lock.lock();
        const bool current = !m_stop && m_epoch == item.epoch;
        if (current) m_done.push_back(std::move(item));
        // The owner is told once the queue is empty, not for every object.
        if (current && m_queue.empty() && m_ready) {
            lock.unlock();
            m_ready();
            lock.lock();
        }
        m_busy = false;
        m_wake.notify_all();  // WaitIdle
    }
}
