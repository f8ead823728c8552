#include "engine/CrashReporter.h"

#include "platform/Platform.h"

#include <csignal>
#include <cstddef>
#include <exception>

static_assert(offsetof(crashrpt::HandlerSettings, installHandlers) == 8);
static_assert(offsetof(crashrpt::HandlerSettings, hooks) == 80);
static_assert(offsetof(crashrpt::ApplicationRecord, version) == 40);

const char* const CrashReporter::entryPointNames[entryPointCount] = {
    "InitCrashRpt",        "SendReport",      "IsReadyToExit",
    "SetCustomInfo",       "AddUserInfoToReport", "RemoveUserInfoFromReport",
    "AddFileToReport",     "RemoveFileFromReport", "GetVersionFromApp",
    "GetVersionFromFile",
};

namespace crashrpt {

const ApplicationRecord& applicationRecord() {
    static const ApplicationRecord record = {
        sizeof(ApplicationRecord),
        "6b3e9d2a-41c7-4f85-a0d9-7c52e8b1f364",
        "Hollowmere",
        L"Hollowmere",
        L"Quorvane",
        {0, 1, 0, 1},
        {},
    };
    return record;
}

}  // namespace crashrpt

namespace {

constexpr unsigned exitPollMs = 100;

using InitFunction = int (*)(const void* application, const void* handlerSettings, int flags);
using IsReadyToExitFunction = int (*)();

}  // namespace

CrashReporter::CrashReporter(const char* library) {
    if (void* handle = platform::loadLibrary(library)) {
        loaded = true;
        for (int i = 0; i < entryPointCount; ++i) {
            entryPoints[i] = platform::findSymbol(handle, entryPointNames[i]);
            if (!entryPoints[i]) loaded = false;
        }
    }
    if (!loaded) {
        handlerInstalled = platform::addExceptionHandler(vectoredHandler);
        return;
    }

    const crashrpt::RuntimeHooks hooks = {
        sizeof(crashrpt::RuntimeHooks),
        reinterpret_cast<void*>(&::signal),
        reinterpret_cast<void*>(&std::set_terminate),
        nullptr,
        nullptr,
    };
    crashrpt::HandlerSettings settings{};
    settings.size = sizeof(crashrpt::HandlerSettings);
    settings.installHandlers = 1;
    settings.hooks = &hooks;
    const auto init = reinterpret_cast<InitFunction>(entryPoints[InitCrashRpt]);
    initialised = init(&crashrpt::applicationRecord(), &settings, 1) != 0;
}

CrashReporter::~CrashReporter() {
    if (!entryPoints[IsReadyToExit]) return;
    const auto isReadyToExit = reinterpret_cast<IsReadyToExitFunction>(entryPoints[IsReadyToExit]);
    while (isReadyToExit() == 0) platform::sleepMs(exitPollMs);
    if (handlerInstalled) platform::removeExceptionHandler(vectoredHandler);
}

int CrashReporter::vectoredHandler(uint32_t exceptionCode) {
    return exceptionCode == libraryExceptionCode ? platform::exceptionContinueExecution
                                                 : platform::exceptionContinueSearch;
}
