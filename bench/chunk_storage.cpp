// Run-length coding and the disk round trip of one chunk.
#include "chunk_terrain.h"
#include "world/ChunkRunLength.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

void BM_EncodeBlocks(benchmark::State& state) {
    auto chunk = std::make_unique<Chunk>();
    state.range(0) ? fillCheckerboard(*chunk) : fillTypicalTerrain(*chunk);
    size_t bytes = 0;
    for (auto _ : state) {
        std::vector<uint8_t> runs = encodeBlockRuns(chunk->blocks.data(), chunk->blocks.size());
        bytes = runs.size();
        benchmark::DoNotOptimize(runs.data());
    }
    state.counters["file bytes"] = double(bytes);
    state.SetLabel(state.range(0) ? "checkerboard, per chunk" : "typical terrain, per chunk");
}

void BM_DecodeBlocks(benchmark::State& state) {
    auto chunk = std::make_unique<Chunk>();
    state.range(0) ? fillCheckerboard(*chunk) : fillTypicalTerrain(*chunk);
    std::vector<uint8_t> runs = encodeBlockRuns(chunk->blocks.data(), chunk->blocks.size());
    auto target = std::make_unique<Chunk>();
    for (auto _ : state) {
        decodeBlockRuns(runs.data(), runs.size(), target->blocks.data(), target->blocks.size());
        benchmark::DoNotOptimize(target->blocks.data());
    }
    state.SetLabel(state.range(0) ? "checkerboard, per chunk" : "typical terrain, per chunk");
}

fs::path benchDirectory() {
    return fs::temp_directory_path() / ("hm-bench-chunks-" + std::to_string(getpid()));
}

void BM_SaveChunk(benchmark::State& state) {
    fs::path chunks = benchDirectory() / "chunks";
    auto chunk = std::make_unique<Chunk>(glm::i64vec3(3, -2, 5));
    fillTypicalTerrain(*chunk);
    chunk->unchanged = false;
    for (auto _ : state) chunk->save(chunks);
    fs::remove_all(benchDirectory());
    state.SetLabel("typical terrain, per chunk");
}

void BM_LoadChunk(benchmark::State& state) {
    fs::path chunks = benchDirectory() / "chunks";
    {
        auto chunk = std::make_unique<Chunk>(glm::i64vec3(3, -2, 5));
        fillTypicalTerrain(*chunk);
        chunk->unchanged = false;
        chunk->save(chunks);
    }
    for (auto _ : state) {
        auto chunk = std::make_unique<Chunk>(glm::i64vec3(3, -2, 5));
        bool ok = chunk->load(chunks);
        benchmark::DoNotOptimize(ok);
    }
    fs::remove_all(benchDirectory());
    state.SetLabel("typical terrain, per chunk");
}

BENCHMARK(BM_EncodeBlocks)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeBlocks)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveChunk)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadChunk)->Unit(benchmark::kMicrosecond);

}  // namespace
