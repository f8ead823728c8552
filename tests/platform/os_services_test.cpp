#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

namespace {
int threadNice() { return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())); }
}  // namespace

TEST(Platform, WorkerThreadsDropBelowTheThreadThatStartedThem) {
    const int mainNice = threadNice();
    int belowNormal = 0, idle = 0;
    std::thread([&] {
        platform::lowerCurrentThreadPriority(platform::ThreadPriority::belowNormal);
        belowNormal = threadNice();
        platform::lowerCurrentThreadPriority(platform::ThreadPriority::idle);
        idle = threadNice();
    }).join();
    EXPECT_EQ(belowNormal, std::min(mainNice + 2, 19));
    EXPECT_EQ(idle, 19);
    EXPECT_EQ(threadNice(), mainNice) << "only the calling thread is lowered";
}

TEST(Platform, RaisingThePriorityNeverFails) {
    // Privileged users get a raised priority, others keep theirs; neither stops the game.
    std::thread([] {
        const int before = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
        platform::raiseProcessPriority();
        const int after = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
        EXPECT_TRUE(after == -10 || after == before) << after;
    }).join();
}

TEST(Platform, LibrariesAndSymbolsAreFoundAtRunTime) {
    EXPECT_EQ(platform::loadLibrary("libhollowmere-nothing-here.so"), nullptr);
    EXPECT_EQ(platform::findSymbol(nullptr, "puts"), nullptr);
    void* libc = platform::loadLibrary("libc.so.6");
    ASSERT_NE(libc, nullptr);
    // A function no sanitizer puts a wrapper of its own in front of.
    EXPECT_EQ(platform::findSymbol(libc, "labs"), reinterpret_cast<void*>(&::labs));
    EXPECT_EQ(platform::findSymbol(libc, "noSuchFunctionAnywhere"), nullptr);
}

TEST(Platform, MutedStderrDiscardsOutputAndRestoresIt) {
    testing::internal::CaptureStderr();
    {
        platform::MutedStderr muted;
        std::fputs("hidden\n", stderr);
    }
    std::fputs("shown\n", stderr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "shown\n");
}
