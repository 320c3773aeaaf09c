#include "view/SimplifiedScene.h"

#include <algorithm>
#include <chrono>

SimplifiedScene::SimplifiedScene(std::function<void()> ready)
    : m_ready(std::move(ready)), m_thread([this] { Work(); }) {}

SimplifiedScene::~SimplifiedScene() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        ++m_generation;
    }
    m_wake.notify_all();
    m_thread.join();
}

void SimplifiedScene::SceneReplaced() {
    m_entries.clear();
    m_levelTriangles.clear();
    const std::lock_guard<std::mutex> lock(m_mutex);
    ++m_generation;  // the job under way is dropped
    m_hasJob = false;
    m_results.clear();
}

void SimplifiedScene::Refresh(const Scene& scene) {
    const std::vector<SceneObject>& objects = scene.m_objects;
    bool changed = m_entries.size() != objects.size();
    m_entries.resize(objects.size());
    for (size_t i = 0; i < objects.size(); ++i) {
        const SceneObject& o = objects[i];
        Entry& e = m_entries[i];
        if (e.vertexData == o.vertices.data() && e.vertexCount == o.vertices.size() &&
            e.meshData == o.meshes.data() && e.meshCount == o.meshes.size() && e.serial != 0)
            continue;
        e.vertexData = o.vertices.data();
        e.vertexCount = o.vertices.size();
        e.meshData = o.meshes.data();
        e.meshCount = o.meshes.size();
        e.pending = true;
        e.serial = ++m_serials;
        e.copy = SimplifiedObject{};
        changed = true;
    }
    if (!changed) return;
    m_ownBytes = 0;
    for (const SceneObject& o : objects)
        m_ownBytes += OwnBytes(o.vertices.size(), o.meshes.size());
    // The job under way is dropped: the new one takes every copy still missing, its own among
    // them. Objects too small for a copy need no snapshot.
    Job job;
    for (size_t i = 0; i < objects.size(); ++i) {
        Entry& e = m_entries[i];
        if (!e.pending) continue;
        if (e.meshCount < kSmallestCopied) {
            e.pending = false;
            continue;
        }
        const SceneObject& o = objects[i];
        ObjectSnapshot snapshot;
        snapshot.vertices.assign(o.vertices.begin(), o.vertices.end());
        snapshot.corners.reserve(o.meshes.size() * 3);
        for (const SceneMesh& m : o.meshes)
            snapshot.corners.insert(snapshot.corners.end(), {m.a, m.b, m.c});
        job.objects.emplace_back(i, std::move(snapshot));
    }
    Fit();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        job.generation = ++m_generation;
        m_results.clear();
        m_hasJob = !job.objects.empty();
        m_job = std::move(job);
    }
    m_wake.notify_all();
}

bool SimplifiedScene::Collect() {
    std::vector<Result> results;
    uint64_t generation = 0;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        results.swap(m_results);
        generation = m_generation;
    }
    bool any = false;
    for (Result& result : results) {
        if (result.generation != generation) continue;
        for (auto& [index, copy] : result.copies) {
            if (index >= m_entries.size() || !m_entries[index].pending) continue;
            m_entries[index].copy = std::move(copy);
            m_entries[index].pending = false;
            m_entries[index].serial = ++m_serials;
            any = true;
        }
        m_lastBuildMs = result.ms;
    }
    if (any) Fit();
    return any;
}

void SimplifiedScene::WaitIdle() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_wake.wait(lock, [this] { return !m_hasJob && !m_busy; });
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
        if (copies[i].levels.size() != levelCounts[i]) m_entries[i].serial = ++m_serials;
        m_entries[i].copy = std::move(copies[i]);
        anyCopy = anyCopy || !m_entries[i].copy.levels.empty();
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
        m_wake.wait(lock, [this] { return m_stop || m_hasJob; });
        if (m_stop) return;
        Job job = std::move(m_job);
        m_hasJob = false;
        m_busy = true;
        lock.unlock();

        const auto start = std::chrono::steady_clock::now();
        // Asked between the steps of every object: a newer job or the end makes this one moot.
        const auto cancelled = [this, &job] {
            const std::lock_guard<std::mutex> guard(m_mutex);
            return m_stop || m_generation != job.generation;
        };
        Result result;
        result.generation = job.generation;
        for (auto& [index, snapshot] : job.objects) {
            if (cancelled()) break;
            result.copies.emplace_back(index, SimplifyObject(snapshot, cancelled));
            snapshot = ObjectSnapshot{};  // its memory goes as soon as it is done
        }
        result.ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();

        lock.lock();
        const bool current = !m_stop && m_generation == result.generation;
        if (current) m_results.push_back(std::move(result));
        if (current && m_ready) {
            lock.unlock();
            m_ready();
            lock.lock();
        }
        m_busy = false;
        m_wake.notify_all();  // WaitIdle
    }
}
