// A stand-in for the crash-reporting library: it records what the game hands it, so the
// crash reporter's start-up and exit can be checked without the real library.
#include "engine/CrashReporter.h"

#define STUB_EXPORT extern "C" __attribute__((visibility("default")))
#define STUB_UNUSED_ENTRY(name) STUB_EXPORT int name() { return 0; }

namespace {
int initCalls = 0, readyCalls = 0, initFlags = 0;
crashrpt::ApplicationRecord application{};
crashrpt::HandlerSettings settings{};
crashrpt::RuntimeHooks hooks{};
}  // namespace

STUB_EXPORT int InitCrashRpt(const void* app, const void* handlerSettings, int flags) {
    ++initCalls;
    initFlags = flags;
    application = *static_cast<const crashrpt::ApplicationRecord*>(app);
    settings = *static_cast<const crashrpt::HandlerSettings*>(handlerSettings);
    if (settings.hooks) hooks = *settings.hooks;
    return 1;
}
// Ready on the third question, so the game has to wait twice.
STUB_EXPORT int IsReadyToExit() { return ++readyCalls >= 3; }
STUB_UNUSED_ENTRY(SendReport) STUB_UNUSED_ENTRY(SetCustomInfo)
STUB_UNUSED_ENTRY(AddUserInfoToReport) STUB_UNUSED_ENTRY(RemoveUserInfoFromReport)
STUB_UNUSED_ENTRY(AddFileToReport) STUB_UNUSED_ENTRY(RemoveFileFromReport)
STUB_UNUSED_ENTRY(GetVersionFromApp) STUB_UNUSED_ENTRY(GetVersionFromFile)

// What the test reads back.
STUB_EXPORT int stubInitCalls() { return initCalls; }
STUB_EXPORT int stubReadyCalls() { return readyCalls; }
STUB_EXPORT int stubInitFlags() { return initFlags; }
STUB_EXPORT const crashrpt::ApplicationRecord* stubApplication() { return &application; }
STUB_EXPORT const crashrpt::HandlerSettings* stubSettings() { return &settings; }
STUB_EXPORT const crashrpt::RuntimeHooks* stubHooks() { return &hooks; }
