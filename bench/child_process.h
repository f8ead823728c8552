#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <type_traits>

// Runs one measurement in a child process of its own, so that its peak resident memory is its
// own: the child returns measure()'s result through a pipe, the parent reads the child's exit
// status and peak memory from wait4. Result must be trivially copyable.
template <typename Result>
struct ChildRun {
    bool reported = false;  // the child ended normally and wrote its result
    int signal = 0;         // the signal that ended the child, if one did
    double peakMegabytes = 0;
    Result result{};
};

template <typename Result, typename Measure>
ChildRun<Result> runInChildProcess(Measure measure) {
    static_assert(std::is_trivially_copyable_v<Result>);
    ChildRun<Result> run;
    int channel[2];
    if (pipe(channel) != 0) return run;
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        return run;
    }
    if (child == 0) {
        close(channel[0]);
        const Result measured = measure();
        const ssize_t written = write(channel[1], &measured, sizeof measured);
        _exit(written == ssize_t(sizeof measured) ? 0 : 1);
    }
    close(channel[1]);
    const ssize_t got = read(channel[0], &run.result, sizeof run.result);
    close(channel[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.peakMegabytes = double(usage.ru_maxrss) / 1024.0;
    run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    run.reported = got == ssize_t(sizeof run.result) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}
