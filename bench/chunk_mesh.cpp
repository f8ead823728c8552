// Meshing one whole chunk (eight sections), as a mesh worker does: on synthetic land, on the
// densest chunk there can be (a checkerboard) and on generated chunks where a new player spawns.
#include "chunk_terrain.h"
#include "world/TerrainGenerator.h"

#include <benchmark/benchmark.h>

namespace {

void buildWholeChunk(benchmark::State& state, void (*fill)(Chunk&)) {
    const ChunkWithNeighbours world(fill);
    size_t vertices = 0;
    for (auto _ : state) {
        vertices = 0;
        for (int s = 0; s < Chunk::SECTION_COUNT; ++s) {
            Chunk::ChunkMesh mesh;
            world.chunk->buildSectionMesh(mesh, uint8_t(s * Chunk::SECTION_HEIGHT), world.around);
            vertices += mesh.vertCount();
            benchmark::DoNotOptimize(mesh.positions.data());
        }
    }
    state.counters["vertices"] = double(vertices);
    state.SetLabel("per chunk");
}

// The world's own terrain around the chunk where a new player spawns.
void fillGenerated(Chunk& chunk) {
    TerrainGenerator(1234567890).generateChunk(chunk.blocks, chunk.coords + glm::i64vec3(16, -13, 5));
}

void BM_BuildChunkMeshTypicalTerrain(benchmark::State& state) { buildWholeChunk(state, fillTypicalTerrain); }
void BM_BuildChunkMeshGenerated(benchmark::State& state) { buildWholeChunk(state, fillGenerated); }
void BM_BuildChunkMeshCheckerboard(benchmark::State& state) { buildWholeChunk(state, fillCheckerboard); }

BENCHMARK(BM_BuildChunkMeshTypicalTerrain)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildChunkMeshGenerated)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildChunkMeshCheckerboard)->Unit(benchmark::kMicrosecond);

}  // namespace
