#include "world/SpawnRoll.h"
#include "world/WorkerPool.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

TEST(WorkerPool, ForEachRunsEveryIndexOnceOnAtMostItsThreads) {
    WorkerPool pool;
    EXPECT_EQ(pool.threadCount(), WorkerPool::hardwareThreads());
    // As many items as a large pass queues: far more than there are threads.
    std::vector<std::atomic<int>> runs(1500);
    std::mutex mutex;
    std::set<std::thread::id> ids;
    pool.forEach(runs.size(), [&](size_t i) {
        runs[i].fetch_add(1);
        std::this_thread::sleep_for(std::chrono::microseconds(20));
        std::lock_guard<std::mutex> lock(mutex);
        ids.insert(std::this_thread::get_id());
    });
    for (size_t i = 0; i < runs.size(); ++i) ASSERT_EQ(runs[i].load(), 1) << "index " << i;
    EXPECT_LE(ids.size(), size_t(pool.threadCount()));
    EXPECT_EQ(ids.count(std::this_thread::get_id()), 0u) << "the caller only waits";

    WorkerPool single(1);
    std::vector<size_t> order;
    single.forEach(50, [&](size_t i) { order.push_back(i); });
    ASSERT_EQ(order.size(), 50u);
    for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], i) << "started in index order";
}

TEST(WorkerPool, AThrowingItemNeitherEndsItsWorkerNorSkipsTheRest) {
    WorkerPool pool(2);
    std::atomic<int> done{0};
    pool.forEach(20, [&](size_t i) {
        if (i % 5 == 0) throw std::runtime_error("bad chunk");
        done.fetch_add(1);
    });
    EXPECT_EQ(done.load(), 16);
    pool.forEach(4, [&](size_t) { done.fetch_add(1); });
    EXPECT_EQ(done.load(), 20);
}

TEST(WorkerPool, DestructionFinishesQueuedTasks) {
    std::atomic<int> done{0};
    {
        WorkerPool pool(2);
        for (int i = 0; i < 30; ++i)
            pool.submit([&done] {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                done.fetch_add(1);
            });
    }
    EXPECT_EQ(done.load(), 30);
}

TEST(WorkerPool, WorkersRunAtTheLoweredPriority) {
    auto workerNice = [](platform::ThreadPriority priority) {
        WorkerPool pool(1, priority);
        int nice = -100;
        pool.forEach(1, [&](size_t) { nice = getpriority(PRIO_PROCESS, id_t(gettid())); });
        return nice;
    };
    EXPECT_EQ(workerNice(platform::ThreadPriority::idle), 19);
    EXPECT_GT(workerNice(platform::ThreadPriority::belowNormal),
              getpriority(PRIO_PROCESS, id_t(gettid())));
}

TEST(SpawnRoll, SameSeedSameRollOnAnyThreadAndAboutTwoPercentBelowTwo) {
    const float here = spawnRoll(12.345, -7);
    float there = -1.0f;
    std::thread([&] { there = spawnRoll(12.345, -7); }).join();
    EXPECT_EQ(here, there);
    EXPECT_NE(spawnRoll(1.0, 0), spawnRoll(1.0, 1));
    EXPECT_EQ(spawnRoll(0.25, 2), spawnRoll(0.0, 252)) << "the seed is seconds x 1000 + chunk x";

    int below = 0;
    for (int i = 0; i < 20000; ++i) {
        const float r = spawnRoll(double(i) * 0.001, i % 7);  // seeds i + i % 7
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 100.0f);
        below += r < 2.0f;
    }
    EXPECT_GT(below, 300);  // 2 % of 20000 is 400
    EXPECT_LT(below, 500);
}

}  // namespace
