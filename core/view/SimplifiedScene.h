// The simplified copies of a scene's objects, kept in step with the scene on the window's
// thread and made on a worker thread of their own, so that the window never waits for them.
//
// The worker never reads the scene: Refresh hands it snapshots of the objects whose lists
// changed (all of them after a load or an import). Every hand-over gets a new generation; the
// worker drops a job as soon as a newer one exists, and the copies it finished are taken only
// when they belong to the latest. Until every object has its copy, frames are drawn in full.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "scene/Scene.h"
#include "view/SimplifiedCopies.h"

class SimplifiedScene {
public:
    // ready is called on the worker thread when copies are finished; the owner then calls
    // Collect on its own thread.
    explicit SimplifiedScene(std::function<void()> ready = {});
    // Stops the worker, which finishes at most the object it is simplifying.
    ~SimplifiedScene();
    SimplifiedScene(const SimplifiedScene&) = delete;
    SimplifiedScene& operator=(const SimplifiedScene&) = delete;

    // The scene's objects were replaced: every copy is made anew, even of an object whose lists
    // happen to sit where the old ones did.
    void SceneReplaced();
    // Hands the worker the objects whose lists changed since their copies were asked for.
    // Cheap when none did.
    void Refresh(const Scene& scene);
    // Takes the copies the worker finished for the scene as it is now. True when any came.
    bool Collect();
    // Waits until the worker has nothing left to do (for benchmarks and tests).
    void WaitIdle();

    // Whether every object's copy is there.
    bool Ready() const;
    // The triangles a frame draws at each level, finest first: each object's copy at that level,
    // or the whole object where it has none. Empty when no object has a copy.
    const std::vector<int64_t>& LevelTriangles() const { return m_levelTriangles; }
    // Object index's copy, or null when it has none (and is drawn whole).
    const SimplifiedObject* Copy(size_t index) const;
    // A number that changes whenever object index's copy does.
    uint64_t Serial(size_t index) const;
    size_t Bytes() const;
    // How long the worker took for the latest copies it finished, in milliseconds.
    double LastBuildMs() const { return m_lastBuildMs; }

private:
    struct Entry {
        // The lists the copy is made of; other lists or sizes mean a new copy.
        const SceneVertex* vertexData = nullptr;
        size_t vertexCount = 0;
        const SceneMesh* meshData = nullptr;
        size_t meshCount = 0;
        bool pending = true;  // asked for, not yet there
        uint64_t serial = 0;
        SimplifiedObject copy;
    };
    struct Job {
        uint64_t generation = 0;
        std::vector<std::pair<size_t, ObjectSnapshot>> objects;
    };
    struct Result {
        uint64_t generation = 0;
        std::vector<std::pair<size_t, SimplifiedObject>> copies;
        double ms = 0;
    };

    void Work();
    void Fit();

    std::function<void()> m_ready;
    std::vector<Entry> m_entries;
    std::vector<int64_t> m_levelTriangles;
    size_t m_ownBytes = 0;
    uint64_t m_serials = 0;
    double m_lastBuildMs = 0;

    // Shared with the worker.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    uint64_t m_generation = 0;  // of the latest job handed over
    bool m_hasJob = false;
    bool m_busy = false;
    bool m_stop = false;
    Job m_job;
    std::vector<Result> m_results;
    std::thread m_thread;
};
