#pragma once

#include <cstdint>

// Hands the process to the optional crash-reporting library when it is installed. The game's
// single instance is a global built before main (engine/main.cpp); nothing else calls it.
class CrashReporter {
public:
    static constexpr const char* defaultLibrary = "libcrashrpt.so";
    // The code the library raises for itself; the handler dismisses it.
    static constexpr uint32_t libraryExceptionCode = 0xCCE17000u;

    // The library's entry points, looked up by these names in this order.
    enum EntryPoint {
        InitCrashRpt,
        SendReport,
        IsReadyToExit,
        SetCustomInfo,
        AddUserInfoToReport,
        RemoveUserInfoFromReport,
        AddFileToReport,
        RemoveFileFromReport,
        GetVersionFromApp,
        GetVersionFromFile,
        entryPointCount
    };
    static const char* const entryPointNames[entryPointCount];

    explicit CrashReporter(const char* library = defaultLibrary);
    // Waits until the library is ready to let the process end.
    ~CrashReporter();
    CrashReporter(const CrashReporter&) = delete;
    CrashReporter& operator=(const CrashReporter&) = delete;

    static int vectoredHandler(uint32_t exceptionCode);

    bool loaded = false;            // the library and all ten entry points were found
    bool initialised = false;       // InitCrashRpt answered non-zero
    bool handlerInstalled = false;
    void* entryPoints[entryPointCount] = {};
};

// The records handed to InitCrashRpt, laid out as the library reads them.
namespace crashrpt {

struct ApplicationRecord {
    uint32_t size;
    const char* guid;
    const char* productName;
    const wchar_t* productNameWide;
    const wchar_t* makerName;
    uint16_t version[4];
    uint8_t reserved[16];
};
static_assert(sizeof(ApplicationRecord) == 64);

struct RuntimeHooks {
    uint64_t size;
    void* signal;
    void* setTerminate;
    void* setInvalidParameterHandler;  // no such hook in this C run time: null
    void* setPurecallHandler;          // no such hook in this C run time: null
};
static_assert(sizeof(RuntimeHooks) == 40);

struct HandlerSettings {
    uint32_t size;
    uint32_t reserved0;
    uint32_t installHandlers;
    uint8_t reserved[68];
    const RuntimeHooks* hooks;
};
static_assert(sizeof(HandlerSettings) == 88);

// Fixed data of this application.
const ApplicationRecord& applicationRecord();

}  // namespace crashrpt
