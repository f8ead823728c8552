// Frames of the real game screen, as a player gets them: the game's window (1024 x 768, 4x
// multisampling, its GL state) under the X server the benchmark runs on, a new world entered
// through the loading screen, the player settled on the ground at noon.
//
//   BM_GameFrame/turned:<0 or 1>/R:<render distance 2, 4, 8 or 12>
//                                            0: the straight slice a new player has,
//                                            1: the slice turned through w by the wheel
//
// The benchmark's time is the mean frame: the game screen's render and glFinish, so every
// stage of the software renderer (vertex, geometry and fragment work) is inside it. Counters:
// median_ms and p95_ms of the frames; cpu_ms, the processor time of the whole process per
// frame (the renderer's own threads included: the work a frame costs, which other load on the
// machine does not inflate as it does the wall time); tetrahedra, the primitives the chunks
// submit to GL in one frame, and chunks, the chunks that submit any; fragments, the fragment
// shader runs of one frame (all three from GL's pipeline-statistics queries, so they count what
// GL received whatever the drawing code does); loaded, the chunks in memory.
//
// Run it under a virtual X server: xvfb-run -a -s "-screen 0 1280x1024x24" build/bench_game_frame
#include "game/GameState.h"
#include "frame_stats.h"
#include "support/GameHarness.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using testgame::GameHarness;

constexpr int WARMUP_FRAMES = 5;
constexpr int MEASURED_FRAMES = 40;

// As the world list enters a world, with creatures off (the harness's default): a spider could
// bite the player or stand in the view, and where they spawn depends on the clock.
bool enterNewWorld(GameHarness& game, float renderDistance) {
    game.enterWorld(renderDistance);
    return game.finishLoadingAndSettle(300.0);
}

// Turns the slice with the wheel as the screenshot test does (more than 35 degrees), then
// waits for the pass that follows and for the player to stand again.
bool turnSlice(GameHarness& game) {
    for (int i = 0; i < 5; ++i) gameState.scroll(game.manager, 0.0, 40.0);
    game.tick(150);
    return game.finishLoadingAndSettle(300.0);
}

struct SliceCounts {
    double tetrahedra = 0, chunks = 0;
};

// What the chunks of the world submit in one frame of this view, chunk by chunk.
SliceCounts countSubmitted() {
    SliceCounts counts;
    if (!GLEW_ARB_pipeline_statistics_query) return counts;
    Player& player = gameState.player;
    const Mat5 view = lookAt4(player.eyePos, -player.forward, player.up, -player.left, player.over);
    World& world = gameState.world;
    Chunk::SectionPass pass;
    GLuint query = 0;
    glGenQueries(1, &query);
    for (auto& [coords, chunk] : world.chunks) {
        if (!chunk->loaded) continue;
        glBeginQuery(GL_PRIMITIVES_SUBMITTED_ARB, query);
        chunk->render(chunk->modelView(view), world.frustum, pass);
        glEndQuery(GL_PRIMITIVES_SUBMITTED_ARB);
        GLuint64 primitives = 0;
        glGetQueryObjectui64v(query, GL_QUERY_RESULT, &primitives);
        counts.tetrahedra += double(primitives);
        counts.chunks += primitives > 0 ? 1.0 : 0.0;
    }
    glDeleteQueries(1, &query);
    return counts;
}

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Fragment shader runs of one whole frame.
double fragmentsOfOneFrame(GameHarness& game) {
    if (!GLEW_ARB_pipeline_statistics_query) return 0;
    GLuint query = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB, query);
    game.frame();
    glEndQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB);
    GLuint64 fragments = 0;
    glGetQueryObjectui64v(query, GL_QUERY_RESULT, &fragments);
    glDeleteQueries(1, &query);
    return double(fragments);
}

void BM_GameFrame(benchmark::State& state) {
    const bool turned = state.range(0) != 0;
    const auto renderDistance = float(state.range(1));
    GameHarness game;
    if (!game.ready()) {
        state.SkipWithError("no GL context at the game's size (run under xvfb-run)");
        return;
    }
    if (!enterNewWorld(game, renderDistance) || (turned && !turnSlice(game))) {
        state.SkipWithError("the world did not load");
        return;
    }
    gameState.timeOfDay = 0.5f;
    gameState.player.lastDamageTime = -10.0;

    for (int i = 0; i < WARMUP_FRAMES; ++i) game.frame();
    std::vector<double> frames;
    const double cpuBefore = processCpuSeconds();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        game.frame();  // render and glFinish
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        frames.push_back(seconds);
    }

    const double cpuPerFrame = (processCpuSeconds() - cpuBefore) / double(frames.size());

    const SliceCounts counts = countSubmitted();
    state.counters["median_ms"] = percentile(frames, 0.5) * 1e3;
    state.counters["p95_ms"] = percentile(frames, 0.95) * 1e3;
    state.counters["cpu_ms"] = cpuPerFrame * 1e3;
    state.counters["tetrahedra"] = counts.tetrahedra;
    state.counters["chunks"] = counts.chunks;
    state.counters["fragments"] = fragmentsOfOneFrame(game);
    state.counters["loaded"] = double(gameState.world.chunks.size());
    state.SetLabel(turned ? "turned slice" : "straight view");
}

BENCHMARK(BM_GameFrame)
    ->ArgsProduct({{0, 1}, {2, 4, 8, 12}})
    ->ArgNames({"turned", "R"})
    ->Iterations(MEASURED_FRAMES)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
