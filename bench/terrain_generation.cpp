// Cost of generating one chunk against the cost of the noise it evaluates.
//
//   BM_Simplex3D / BM_Simplex4D   one glm simplex evaluation
//   BM_SimplexNoise4D             one evaluation of the game's 4D noise (glm's values, faster)
//   BM_GenerateChunk              one whole chunk (terrain, ores, tree), one core
//   BM_NoiseOfChunk               only the noise calls that chunk generation makes, at the
//                                 same points and with the same functions: the floor that
//                                 generation cannot go below
// Counters: noise3D and noise4D are evaluations per chunk; compare BM_GenerateChunk's time with
// BM_NoiseOfChunk's (aim: at most 1.5 times).
#include "world/SimplexNoise.h"
#include "world/TerrainGenerator.h"

#include <benchmark/benchmark.h>
#include <glm/gtc/noise.hpp>

#include <memory>
#include <vector>

namespace {

// Typical chunks: a 4 x 4 patch near the origin in one w layer, hills and desert alike.
std::vector<glm::i64vec3> typicalChunks() {
    std::vector<glm::i64vec3> chunks;
    for (int x = -2; x < 2; ++x)
        for (int z = -2; z < 2; ++z) chunks.emplace_back(x * 7, z * 5, 3);
    return chunks;
}

struct NoiseCount {
    double noise3D = 0, noise4D = 0;
};

NoiseCount countNoise(const TerrainGenerator& generator, const std::vector<glm::i64vec3>& chunks) {
    NoiseCount count;
    for (const auto& c : chunks) {
        for (int x = 0; x < 8; ++x)
            for (int z = 0; z < 8; ++z)
                for (int w = 0; w < 8; ++w) {
                    const auto column = TerrainGenerator::column(
                        float(c.x * 8 + x), float(c.y * 8 + z), float(c.z * 8 + w));
                    count.noise3D += 2;
                    count.noise4D += column.height + 1;
                }
        if (generator.hasTree(c)) count.noise3D += 1;
    }
    count.noise3D /= double(chunks.size());
    count.noise4D /= double(chunks.size());
    return count;
}

void BM_Simplex3D(benchmark::State& state) {
    float i = 0.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(glm::simplex(glm::vec3(i / 64.0f, 0.37f, -i / 256.0f)));
        i += 1.0f;
    }
}
BENCHMARK(BM_Simplex3D);

void BM_Simplex4D(benchmark::State& state) {
    float i = 0.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(glm::simplex(glm::vec4(i / 64.0f, 0.5f, -i / 64.0f, 0.25f)));
        i += 1.0f;
    }
}
BENCHMARK(BM_Simplex4D);

void BM_SimplexNoise4D(benchmark::State& state) {
    float i = 0.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(simplexNoise(glm::vec4(i / 64.0f, 0.5f, -i / 64.0f, 0.25f)));
        i += 1.0f;
    }
}
BENCHMARK(BM_SimplexNoise4D);

void BM_GenerateChunk(benchmark::State& state) {
    const TerrainGenerator generator(1234567890);
    const auto chunks = typicalChunks();
    auto blocks = std::make_unique<TerrainGenerator::Blocks>();
    size_t next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        blocks->fill(0);
        state.ResumeTiming();
        generator.generateChunk(*blocks, chunks[next]);
        benchmark::DoNotOptimize(blocks->data());
        next = (next + 1) % chunks.size();
    }
    const NoiseCount count = countNoise(generator, chunks);
    state.counters["noise3D"] = count.noise3D;
    state.counters["noise4D"] = count.noise4D;
}
BENCHMARK(BM_GenerateChunk)->Unit(benchmark::kMicrosecond);

void BM_NoiseOfChunk(benchmark::State& state) {
    const TerrainGenerator generator(1234567890);
    const auto chunks = typicalChunks();
    size_t next = 0;
    for (auto _ : state) {
        const glm::i64vec3 c = chunks[next];
        float sum = 0.0f;
        for (int x = 0; x < 8; ++x)
            for (int z = 0; z < 8; ++z)
                for (int w = 0; w < 8; ++w) {
                    const float wx = float(c.x * 8 + x), wz = float(c.y * 8 + z),
                                ww = float(c.z * 8 + w);
                    // The column's two 3D noises and the 4D noise of each cell up to the surface.
                    const auto column = TerrainGenerator::column(wx, wz, ww);
                    for (int y = 0; y <= column.height; ++y)
                        sum += simplexNoise(
                            glm::vec4(wx / 64.0f, float(y) / 64.0f, wz / 64.0f, ww / 64.0f));
                }
        if (generator.hasTree(c)) benchmark::DoNotOptimize(generator.isDesertChunk(c));
        benchmark::DoNotOptimize(sum);
        next = (next + 1) % chunks.size();
    }
    const NoiseCount count = countNoise(generator, chunks);
    state.counters["noise3D"] = count.noise3D;
    state.counters["noise4D"] = count.noise4D;
}
BENCHMARK(BM_NoiseOfChunk)->Unit(benchmark::kMicrosecond);

}  // namespace
