#pragma once

#include <cstdint>

// The few operating-system services the game needs, behind one small interface.
namespace platform {

// Raises the whole process above normal priority where permitted; an unprivileged user
// keeps the normal priority (that is not an error).
void raiseProcessPriority();

// Lets every thread allocate from one heap. Chunk meshes are built on the worker threads and
// released on the main thread right after their upload, whose buffers then reuse that memory;
// with a heap per thread the released meshes would stay reserved beside their uploaded copies.
// Call it before any other thread starts.
void allocateFromOneHeap();

enum class ThreadPriority { belowNormal, idle };
// Lowers the calling thread's priority (worker threads must not compete with rendering).
void lowerCurrentThreadPriority(ThreadPriority priority);

// Run-time loading of an optional shared library; null when it is absent.
void* loadLibrary(const char* name);
void* findSymbol(void* library, const char* name);

void sleepMs(unsigned milliseconds);

// A process-wide handler for exceptions raised with raiseException. It answers
// exceptionContinueExecution to dismiss the exception or exceptionContinueSearch to let it take
// its default course (which ends the process).
using ExceptionHandler = int (*)(uint32_t exceptionCode);
constexpr int exceptionContinueExecution = -1;
constexpr int exceptionContinueSearch = 0;

// Adds a handler; every handler is asked until one dismisses the exception. False when the
// system refused or too many are installed. Real crashes (faults, aborts) never reach these handlers.
bool addExceptionHandler(ExceptionHandler handler);
void removeExceptionHandler(ExceptionHandler handler);
// Raises an exception with a code (a queued signal carrying the code).
void raiseException(uint32_t exceptionCode);

// Silences standard error while it lives: some system libraries write diagnostics of their
// own when they probe for hardware that is not there.
class MutedStderr {
public:
    MutedStderr();
    ~MutedStderr();
    MutedStderr(const MutedStderr&) = delete;
    MutedStderr& operator=(const MutedStderr&) = delete;

private:
    int savedFd = -1;
};

}  // namespace platform

namespace platform {

// Asks the system to put a file's contents (or a directory's entries) on the disk before
// returning, so that a rename that follows survives a power loss. False when it could not.
bool syncFileToDisk(const char* path);
bool syncDirectoryToDisk(const char* path);

// Told of every sync that reached the disk, right after it: a write is durable only through the
// order of its syncs and renames, which tests check this way. Called on the syncing thread.
class SyncObserver {
public:
    virtual void synced(const char* path, bool directory) = 0;

protected:
    ~SyncObserver() = default;
};
// Installs the one observer; null removes it.
void observeSyncs(SyncObserver* observer);

}  // namespace platform
