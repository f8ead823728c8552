#include "platform/Platform.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <malloc.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace platform {

namespace {

// Nice values: the process runs raised like a high-priority class; workers drop below it.
constexpr int raisedNice = -10;
constexpr int belowNormalStep = 2;
constexpr int idleNice = 19;

// Exceptions travel as one real-time signal that nothing else in the process uses.
int exceptionSignal() { return SIGRTMAX - 3; }

constexpr int maxExceptionHandlers = 4;
std::atomic<ExceptionHandler> exceptionHandlers[maxExceptionHandlers];
std::atomic<bool> signalInstalled{false};

void onExceptionSignal(int signal, siginfo_t* info, void*) {
    const auto code = static_cast<uint32_t>(info->si_value.sival_int);
    for (const auto& slot : exceptionHandlers) {
        const ExceptionHandler handler = slot.load();
        if (handler && handler(code) == exceptionContinueExecution) return;
    }
    // Unhandled: the default course of the signal, which ends the process.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

void raiseProcessPriority() {
    // On Linux this sets the calling thread; it runs before any other thread starts, and every
    // thread started later inherits it. Without the privilege the call fails: that is fine.
    setpriority(PRIO_PROCESS, 0, raisedNice);
}

void allocateFromOneHeap() {
#ifdef __GLIBC__
    mallopt(M_ARENA_MAX, 1);
#endif
}

void lowerCurrentThreadPriority(ThreadPriority priority) {
    const id_t thread = static_cast<id_t>(gettid());
    errno = 0;
    int nice = getpriority(PRIO_PROCESS, thread);
    if (nice == -1 && errno != 0) nice = 0;
    const int lowered = priority == ThreadPriority::idle ? idleNice
                                                         : std::min(nice + belowNormalStep, idleNice);
    setpriority(PRIO_PROCESS, thread, std::max(lowered, nice));
}

void* loadLibrary(const char* name) { return dlopen(name, RTLD_NOW | RTLD_LOCAL); }

void* findSymbol(void* library, const char* name) {
    return library ? dlsym(library, name) : nullptr;
}

void sleepMs(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool addExceptionHandler(ExceptionHandler handler) {
    if (!signalInstalled.load()) {
        struct sigaction action {};
        action.sa_sigaction = onExceptionSignal;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        if (sigaction(exceptionSignal(), &action, nullptr) != 0) return false;
        signalInstalled.store(true);
    }
    for (auto& slot : exceptionHandlers) {
        ExceptionHandler empty = nullptr;
        if (slot.compare_exchange_strong(empty, handler)) return true;
    }
    return false;
}

void removeExceptionHandler(ExceptionHandler handler) {
    for (auto& slot : exceptionHandlers) {
        ExceptionHandler expected = handler;
        if (slot.compare_exchange_strong(expected, nullptr)) return;
    }
}

void raiseException(uint32_t exceptionCode) {
    sigval value{};
    value.sival_int = static_cast<int>(exceptionCode);
    // Sent to the calling thread, so the handler has run when this returns.
    pthread_sigqueue(pthread_self(), exceptionSignal(), value);
}

MutedStderr::MutedStderr() {
    std::fflush(stderr);
    savedFd = dup(STDERR_FILENO);
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (savedFd >= 0 && devNull >= 0) dup2(devNull, STDERR_FILENO);
    if (devNull >= 0) close(devNull);
}

MutedStderr::~MutedStderr() {
    if (savedFd < 0) return;
    std::fflush(stderr);
    dup2(savedFd, STDERR_FILENO);
    close(savedFd);
}

}  // namespace platform

namespace platform {

namespace {

std::atomic<SyncObserver*> syncObserver{nullptr};

bool syncPath(const char* path, int flags) {
    const int fd = ::open(path, flags | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    if (::close(fd) != 0 || !synced) return false;
    if (SyncObserver* observer = syncObserver.load()) observer->synced(path, (flags & O_DIRECTORY) != 0);
    return true;
}

}  // namespace

void observeSyncs(SyncObserver* observer) { syncObserver.store(observer); }

bool syncFileToDisk(const char* path) { return syncPath(path, O_RDONLY); }

bool syncDirectoryToDisk(const char* path) { return syncPath(path, O_RDONLY | O_DIRECTORY); }

}  // namespace platform
