#include "world/WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <memory>
#include <system_error>

WorkerPool::WorkerPool(unsigned threadCount, platform::ThreadPriority priority)
    : wantedThreads(threadCount != 0 ? threadCount : hardwareThreads()), priority(priority) {}

WorkerPool::~WorkerPool() {
    std::vector<std::thread> joining;
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        joining.swap(threads);
    }
    wake.notify_all();
    // Workers empty the queue before they leave, so queued saves are all written.
    for (std::thread& thread : joining) thread.join();
}

unsigned WorkerPool::hardwareThreads() {
    const unsigned n = std::thread::hardware_concurrency();
    return n != 0 ? n : 1;
}

bool WorkerPool::ensureStarted(std::unique_lock<std::mutex>&) {
    if (!started) {
        started = true;
        for (unsigned i = 0; i < wantedThreads; ++i) {
            try {
                threads.emplace_back(&WorkerPool::workerLoop, this);
            } catch (const std::system_error& e) {
                // Fewer workers only make the work slower; none at all runs it on the caller.
                std::printf("warning: started %u of %u worker threads: %s\n", i, wantedThreads,
                            e.what());
                break;
            }
        }
    }
    return !threads.empty();
}

void WorkerPool::submit(std::function<void()> task) {
    std::unique_lock<std::mutex> lock(mutex);
    if (stopping || !ensureStarted(lock)) {
        lock.unlock();
        runGuarded(task);
        return;
    }
    tasks.push_back(std::move(task));
    lock.unlock();
    wake.notify_one();
}

void WorkerPool::forEach(size_t count, const std::function<void(size_t)>& body) {
    if (count == 0) return;
    struct Batch {
        std::atomic<size_t> next{0};
        std::mutex mutex;
        std::condition_variable finished;
        size_t running = 0;
    };
    auto batch = std::make_shared<Batch>();
    const size_t runners = std::min<size_t>(count, wantedThreads);
    batch->running = runners;

    // Each runner takes the next index until none is left, so work starts in index order.
    auto runner = [batch, count, &body] {
        for (size_t i = batch->next.fetch_add(1); i < count; i = batch->next.fetch_add(1))
            runGuarded([&body, i] { body(i); });
        std::lock_guard<std::mutex> lock(batch->mutex);
        if (--batch->running == 0) batch->finished.notify_all();
    };
    for (size_t r = 0; r < runners; ++r) submit(runner);

    std::unique_lock<std::mutex> lock(batch->mutex);
    batch->finished.wait(lock, [&batch] { return batch->running == 0; });
}

void WorkerPool::workerLoop() {
    platform::lowerCurrentThreadPriority(priority);
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        wake.wait(lock, [this] { return stopping || !tasks.empty(); });
        if (tasks.empty()) return;  // stopping and nothing left
        std::function<void()> task = std::move(tasks.front());
        tasks.pop_front();
        lock.unlock();
        runGuarded(task);
        task = nullptr;  // its captures die outside the lock
        lock.lock();
    }
}

void WorkerPool::runGuarded(const std::function<void()>& task) {
    // An exception must not reach the top of a worker: that would end the program.
    try {
        task();
    } catch (const std::exception& e) {
        std::printf("error: a background task failed: %s\n", e.what());
    } catch (...) {
        std::printf("error: a background task failed\n");
    }
}
