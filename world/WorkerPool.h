#pragma once

#include "platform/Platform.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A fixed number of worker threads at a lowered priority that run queued tasks. Streaming
// runs each phase's per-chunk work here instead of on one thread per chunk, which the system
// may refuse when a pass queues a thousand chunks.
//
// The threads start with the first task. A task that throws is reported on standard output
// and does not end its worker. The destructor lets the workers finish every queued task, then
// joins them.
class WorkerPool {
public:
    // threadCount 0 means the machine's hardware concurrency.
    explicit WorkerPool(unsigned threadCount = 0,
                        platform::ThreadPriority priority = platform::ThreadPriority::idle);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Queues a task. Without any worker (none could be started) it runs at once on the caller.
    void submit(std::function<void()> task);

    // Runs body(0) .. body(count - 1) on the workers, started in index order, and returns when
    // all have finished. The calling thread only waits.
    void forEach(size_t count, const std::function<void(size_t)>& body);

    // Threads running or, before the first task, that will be started.
    unsigned threadCount() const { return wantedThreads; }

    static unsigned hardwareThreads();

private:
    const unsigned wantedThreads;
    const platform::ThreadPriority priority;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::function<void()>> tasks;  // under mutex
    std::vector<std::thread> threads;         // under mutex
    bool started = false;                     // under mutex
    bool stopping = false;                    // under mutex

    // Starts the workers once; false when not a single one could be started.
    bool ensureStarted(std::unique_lock<std::mutex>& lock);
    void workerLoop();
    static void runGuarded(const std::function<void()>& task);
};
