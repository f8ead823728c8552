#include "engine/CrashReporter.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cwchar>
#include <string>
#include <vector>

TEST(CrashReporter, WithoutTheLibraryTheHandlerIsInstalledAndNothingIsWaitedFor) {
    // Absent, or present without the entry points (libm): not used either way.
    for (const char* library : {"libcrashrpt-not-installed.so", "libm.so.6"}) {
        SCOPED_TRACE(library);
        auto reporter = std::make_unique<CrashReporter>(library);
        EXPECT_FALSE(reporter->loaded);
        EXPECT_FALSE(reporter->initialised);
        EXPECT_TRUE(reporter->handlerInstalled);
        // The library's own exception is dismissed: the process goes on.
        platform::raiseException(CrashReporter::libraryExceptionCode);
        reporter.reset();
    }
    EXPECT_EQ(CrashReporter::vectoredHandler(0xCCE17000u), -1);
    EXPECT_EQ(CrashReporter::vectoredHandler(0xC0000005u), 0);
}

TEST(CrashReporterDeathTest, AnyOtherExceptionTakesItsDefaultCourse) {
    EXPECT_EXIT(
        {
            CrashReporter reporter("libcrashrpt-not-installed.so");
            platform::raiseException(0xC0000005u);
        },
        ::testing::KilledBySignal(SIGRTMAX - 3), "");
}

#ifdef CRASHRPT_STUB_PATH
template <typename T>
T stub(const char* name) {
    void* library = platform::loadLibrary(CRASHRPT_STUB_PATH);
    return reinterpret_cast<T>(platform::findSymbol(library, name));
}

TEST(CrashReporter, TheLibraryIsInitialisedWithTheApplicationAndWaitedForAtExit) {
    auto reporter = std::make_unique<CrashReporter>(CRASHRPT_STUB_PATH);
    EXPECT_TRUE(reporter->loaded);
    EXPECT_TRUE(reporter->initialised);
    EXPECT_FALSE(reporter->handlerInstalled);
    for (void* entry : reporter->entryPoints) EXPECT_NE(entry, nullptr);

    ASSERT_EQ(stub<int (*)()>("stubInitCalls")(), 1);
    EXPECT_EQ(stub<int (*)()>("stubInitFlags")(), 1);
    const auto* app = stub<const crashrpt::ApplicationRecord* (*)()>("stubApplication")();
    EXPECT_EQ(app->size, 64u);
    EXPECT_EQ(std::string(app->guid).size(), 36u);
    EXPECT_STREQ(app->productName, "Hollowmere");
    EXPECT_EQ(std::wcscmp(app->productNameWide, L"Hollowmere"), 0);
    EXPECT_EQ(std::wcscmp(app->makerName, L"Quorvane"), 0);
    EXPECT_EQ(std::vector<int>(app->version, app->version + 4), (std::vector<int>{0, 1, 0, 1}));
    const auto* settings = stub<const crashrpt::HandlerSettings* (*)()>("stubSettings")();
    EXPECT_EQ(settings->size, 88u);
    EXPECT_EQ(settings->installHandlers, 1u);
    const auto* hooks = stub<const crashrpt::RuntimeHooks* (*)()>("stubHooks")();
    EXPECT_EQ(hooks->size, 40u);
    EXPECT_EQ(hooks->signal, reinterpret_cast<void*>(&::signal));

    // At exit the reporter asks until the library is ready, 100 ms apart.
    const auto start = std::chrono::steady_clock::now();
    reporter.reset();
    EXPECT_EQ(stub<int (*)()>("stubReadyCalls")(), 3);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
}
#endif
