// A player walking through a new world at render distance 8, as the game runs it: the game's
// window (1024 x 768, 4x multisampling), its raised priority and single heap, its own main loop
// (ticks at 100 Hz, then a frame drawn and swapped). After the world has loaded and the player
// stands, W (and the jump key, to climb what stands in the way) is held and the wheel turns the
// slice every few seconds, so the streaming passes load and drop chunks while the frames are
// drawn. Each run is a process of its own.
//
//   BM_WalkFrames/<render distance>    30 s of walking. Time: the median frame. Counters:
//                                      over33ms, the share of frames longer than 33 ms; p95_ms;
//                                      frames; the blocks walked (4D distance).
//   BM_WalkMemory/<render distance>    the title screen with its background world first, as
//                                      the game starts, then the world entered from it and a
//                                      longer walk. Counters: peakRSS_MB (the process's peak),
//                                      titleRSS_MB (the title screen's world loaded),
//                                      loadedRSS_MB (once the world has loaded), endRSS_MB and
//                                      growth_MB (what the second half of the walk added: the
//                                      first fills the heap the streaming passes reuse).
//
// Run it under a virtual X server: xvfb-run -a -s "-screen 0 1280x1024x24" build/bench_game_walk
#include "child_process.h"
#include "engine/InputCallbacks.h"
#include "engine/MainLoop.h"
#include "game/GameState.h"
#include "platform/Platform.h"
#include "screens/StackCallbacks.h"
#include "screens/TitleState.h"
#include "screens/WorldGenState.h"
#include "frame_stats.h"
#include "support/GameHarness.h"

#include <GLFW/glfw3.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

namespace {

using testgame::GameHarness;
using Clock = std::chrono::steady_clock;

constexpr double LOAD_TIMEOUT_SECONDS = 300.0;
constexpr double WALK_SECONDS = 30.0;
constexpr double MEMORY_WALK_SECONDS = 120.0;
constexpr double TURN_EVERY_SECONDS = 4.0;
constexpr double SLOW_FRAME_SECONDS = 0.033;

// The process's resident memory now, from the kernel's own accounting.
double residentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

struct WalkResult {
    bool window = false, loaded = false;
    double medianFrame = 0, p95Frame = 0, slowShare = 0, frames = 0, distance = 0;
    double titleRss = 0, loadedRss = 0, halfwayRss = 0, endRss = 0;
};

// As the game's start-up does, before the window opens.
struct GameProcess {
    GameProcess() {
        platform::allocateFromOneHeap();
        platform::raiseProcessPriority();
    }
};

class Walk {
public:
    Walk() : driver(glfwLoopDriver(game.window())), timer(startLoopTimer(driver)) {}

    GameHarness& harness() { return game; }

    // Main-loop frames until done() or the time is up; false on timeout.
    template <typename Done>
    bool runUntil(Done done, double timeout) {
        const auto start = Clock::now();
        while (secondsSince(start) < timeout) {
            runFrame(game.manager, timer, driver);
            if (done()) return true;
        }
        return false;
    }

    // As the title screen shows itself when the game starts, until its world has loaded.
    bool showTitle() {
        titleState.backgroundPath = (game.worldDir / "titleWorld").string();
        game.manager.pushState(&titleState);
        return runUntil([] { return titleState.backgroundLoaded(); }, LOAD_TIMEOUT_SECONDS);
    }

    // Into a new world at the render distance, from the title screen when it is up.
    bool enterWorld(float renderDistance) {
        gameState.world.setPath(game.worldDir.string());
        gameState.world.spawnCreatures = false;
        gameState.renderDistance = renderDistance;
        startGame(game.manager, int(game.manager.states.size()));
        World& world = gameState.world;
        const bool loaded = runUntil(
            [&] { return game.manager.states.back() == &gameState && world.loadDone; },
            LOAD_TIMEOUT_SECONDS);
        gameState.timeOfDay = 0.5f;
        // The player lands, and the pass that landing may start ends.
        int still = 0;
        return loaded && runUntil(
                             [&] {
                                 still = std::fabs(gameState.player.velocity.y) < 1e-6f ? still + 1 : 0;
                                 return still >= 20 && world.loadDone;
                             },
                             LOAD_TIMEOUT_SECONDS);
    }

    // Holds W and jump for the duration, turning the slice with the wheel every few seconds; calls
    // sample() after every frame with the frame's length.
    template <typename Sample>
    double walk(double duration, Sample sample) {
        const glm::vec4 start = gameState.player.pos;
        keyCallback(game.window(), GLFW_KEY_W, 0, GLFW_PRESS, 0);
        keyCallback(game.window(), GLFW_KEY_SPACE, 0, GLFW_PRESS, 0);
        const auto begin = Clock::now();
        double nextTurn = TURN_EVERY_SECONDS;
        auto last = Clock::now();
        while (secondsSince(begin) < duration) {
            if (secondsSince(begin) >= nextTurn) {
                gameState.scroll(game.manager, 0.0, 1.0);
                nextTurn += TURN_EVERY_SECONDS;
            }
            runFrame(game.manager, timer, driver);
            const auto now = Clock::now();
            sample(std::chrono::duration<double>(now - last).count());
            last = now;
        }
        keyCallback(game.window(), GLFW_KEY_W, 0, GLFW_RELEASE, 0);
        keyCallback(game.window(), GLFW_KEY_SPACE, 0, GLFW_RELEASE, 0);
        return glm::distance(start, gameState.player.pos);
    }

private:
    GameProcess process;
    GameHarness game;
    LoopDriver driver;
    LoopTimer timer;
};

// A walk in a game process of its own: measure(walk, result) once the window is there.
template <typename Measure>
WalkResult inGame(Measure measure) {
    Walk walk;
    WalkResult result;
    result.window = walk.harness().ready();
    if (result.window) measure(walk, result);
    return result;
}

void measureFrames(Walk& walk, WalkResult& result) {
    std::vector<double> frames;
    result.distance = walk.walk(WALK_SECONDS, [&](double frame) { frames.push_back(frame); });
    result.frames = double(frames.size());
    result.medianFrame = percentile(frames, 0.5);
    result.p95Frame = percentile(frames, 0.95);
    result.slowShare = double(std::count_if(frames.begin(), frames.end(),
                                            [](double f) { return f > SLOW_FRAME_SECONDS; })) /
                       std::max(1.0, result.frames);
}

void measureMemory(Walk& walk, WalkResult& result) {
    result.loadedRss = residentMegabytes();
    const auto halfway = Clock::now() + std::chrono::duration<double>(MEMORY_WALK_SECONDS / 2);
    result.distance = walk.walk(MEMORY_WALK_SECONDS, [&](double) {
        if (result.halfwayRss == 0 && Clock::now() >= halfway) result.halfwayRss = residentMegabytes();
    });
    result.endRss = residentMegabytes();
}

WalkResult walkFrames(float renderDistance) {
    return inGame([&](Walk& walk, WalkResult& result) {
        result.loaded = walk.enterWorld(renderDistance);
        if (result.loaded) measureFrames(walk, result);
    });
}

WalkResult walkMemory(float renderDistance) {
    return inGame([&](Walk& walk, WalkResult& result) {
        if (!walk.showTitle()) return;
        result.titleRss = residentMegabytes();
        result.loaded = walk.enterWorld(renderDistance);
        if (result.loaded) measureMemory(walk, result);
    });
}

// One run in a child process; false (with the reason set) when it went wrong.
bool runChild(benchmark::State& state, WalkResult (*measure)(float), WalkResult& result,
              double& peak) {
    const auto renderDistance = float(state.range(0));
    std::string failure;
    // A virtual X server refuses a connection now and then: such a run is started again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ChildRun<WalkResult> run =
            runInChildProcess<WalkResult>([&] { return measure(renderDistance); });
        result = run.result;
        peak = run.peakMegabytes;
        if (run.signal != 0) failure = "the game ended on signal " + std::to_string(run.signal);
        else if (!run.reported) failure = "no result from the game";
        else if (!result.window) failure = "no window (run under xvfb-run)";
        else if (!result.loaded) failure = "the world did not load in time";
        else return true;
        if (result.window) break;
    }
    state.SkipWithError(failure.c_str());
    return false;
}

void BM_WalkFrames(benchmark::State& state) {
    WalkResult result;
    double peak = 0;
    for (auto _ : state) {
        if (!runChild(state, walkFrames, result, peak)) return;
        state.SetIterationTime(result.medianFrame);
    }
    state.counters["over33ms"] = result.slowShare;
    state.counters["median_ms"] = result.medianFrame * 1e3;
    state.counters["p95_ms"] = result.p95Frame * 1e3;
    state.counters["frames"] = result.frames;
    state.counters["blocks"] = result.distance;
}

void BM_WalkMemory(benchmark::State& state) {
    WalkResult result;
    double peak = 0;
    for (auto _ : state) {
        if (!runChild(state, walkMemory, result, peak)) return;
        state.SetIterationTime(1.0);
    }
    state.counters["peakRSS_MB"] = peak;
    state.counters["titleRSS_MB"] = result.titleRss;
    state.counters["loadedRSS_MB"] = result.loadedRss;
    state.counters["endRSS_MB"] = result.endRss;
    state.counters["growth_MB"] = result.endRss - result.halfwayRss;
    state.counters["blocks"] = result.distance;
}

BENCHMARK(BM_WalkFrames)->Arg(8)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkMemory)->Arg(8)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
