// A stand-in for the crash-reporting library: it records what the game hands it, so the
// crash reporter's start-up and exit can be checked without the real library.
#include "engine/CrashReporter.h"

#define STUB_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
int initCalls = 0;
int readyCalls = 0;
int initFlags = 0;
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
STUB_EXPORT int SendReport() { return 0; }
STUB_EXPORT int SetCustomInfo() { return 0; }
STUB_EXPORT int AddUserInfoToReport() { return 0; }
STUB_EXPORT int RemoveUserInfoFromReport() { return 0; }
STUB_EXPORT int AddFileToReport() { return 0; }
STUB_EXPORT int RemoveFileFromReport() { return 0; }
STUB_EXPORT int GetVersionFromApp() { return 0; }
STUB_EXPORT int GetVersionFromFile() { return 0; }

// What the test reads back.
STUB_EXPORT int stubInitCalls() { return initCalls; }
STUB_EXPORT int stubReadyCalls() { return readyCalls; }
STUB_EXPORT int stubInitFlags() { return initFlags; }
STUB_EXPORT const crashrpt::ApplicationRecord* stubApplication() { return &application; }
STUB_EXPORT const crashrpt::HandlerSettings* stubSettings() { return &settings; }
STUB_EXPORT const crashrpt::RuntimeHooks* stubHooks() { return &hooks; }
