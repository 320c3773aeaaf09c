// The simplified copies of a scene's objects, kept in step with the scene on the window's
// thread and made on a worker thread of their own, so that the window never waits for them.
//
// The worker never reads the scene: Refresh hands it snapshots of the objects whose lists
// changed (all of them after a load or an import), a few at a time so that no call holds the
// window for long. Each copy is taken only if it belongs to the object's lists as they are now;
// a scene replaced empties the worker's queue and cuts short the object it is working on. Until
// every object has its copy, frames are drawn in full.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "scene/Scene.h"
#include "view/FaceRuns.h"
#include "view/SimplifiedCopies.h"

// What an object's copy is made from: its lists as they are now, its triangles in the order of
// its runs of one material, as they are drawn.
ObjectSnapshot TakeSnapshot(const SceneObject& object, const FaceRuns& runs);
ObjectSnapshot TakeSnapshot(const SceneObject& object);

class SimplifiedScene {
public:
    // ready is called on the worker thread when it has finished what it was handed; the owner
    // then calls Collect on its own thread.
    explicit SimplifiedScene(std::function<void()> ready = {});
    // Stops the worker, which finishes at most a step of the object it is simplifying.
    ~SimplifiedScene();
    SimplifiedScene(const SimplifiedScene&) = delete;
    SimplifiedScene& operator=(const SimplifiedScene&) = delete;

    // The scene's objects were replaced: every copy is made anew, even of an object whose lists
    // happen to sit where the old ones did.
    void SceneReplaced();
    // Finds the objects whose lists changed since their copies were asked for and hands the
    // worker snapshots of those not handed over yet, for about sliceMs (0: all of them). True
    // while some are left for the next call. Cheap when nothing changed.
    // The runs come from runs, the renderer's cache, which has them already for a drawn object.
    bool Refresh(const Scene& scene, FaceRunCache& runs, double sliceMs = 0);
    bool Refresh(const Scene& scene, double sliceMs = 0) {
        return Refresh(scene, m_ownRuns, sliceMs);
    }
    // Takes the copies the worker finished for the scene as it is now. True when any came.
    bool Collect();
    // Waits until the worker has done all it was handed (for benchmarks and tests).
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
    // The worker's time for the copies since the last change of the scene, in milliseconds.
    double BuildMs() const { return m_buildMs; }

private:
    FaceRunCache m_ownRuns;  // for a caller without a renderer
    struct Entry {
        // The object's revision the copy is made of (its face groups split the copy into runs
        // of one material); another means a new copy.
        uint64_t revision = 0;
        size_t meshCount = 0;
        bool pending = true;  // asked for, not yet there
        bool handedOver = false;
        uint64_t serial = 0;  // of the lists the copy is asked for, and then of the copy
        SimplifiedObject copy;
    };
    struct Item {
        uint64_t epoch = 0;
        size_t index = 0;
        uint64_t serial = 0;
        ObjectSnapshot snapshot;
        SimplifiedObject copy;
        double ms = 0;
    };

    void Work();
    void Fit();

    std::function<void()> m_ready;
    std::vector<Entry> m_entries;
    std::vector<int64_t> m_levelTriangles;
    size_t m_ownBytes = 0;
    uint64_t m_serials = 0;
    double m_buildMs = 0;

    // Shared with the worker.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    uint64_t m_epoch = 0;  // a new one drops what the worker was handed before
    bool m_busy = false;
    bool m_stop = false;
    std::deque<Item> m_queue;
    std::vector<Item> m_done;
    std::thread m_thread;
};
