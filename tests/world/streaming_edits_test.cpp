// The player mines and builds while a streaming pass loads and meshes the chunks around them.
// Every edit lands at once; the mesh workers build from a consistent copy of the blocks (this
// test also runs under ThreadSanitizer, where any race fails it); and once the pass is over and
// the main thread has rebuilt what the edits marked, every section mesh shows the blocks as
// they are. Save steps write copies of the edited chunks on the workers meanwhile, and the
// last one stores the blocks as they are.
#include "support/TempWorkDir.h"
#include "world/WaitForPass.h"
#include "world/World.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const glm::vec4 HERE(4.5f, 70.0f, 4.5f, 12.5f);
const glm::vec4 ALONG_W(0.0f, 0.0f, 0.0f, 1.0f);

// Cells on the chunk's edges and section boundaries around the surface, so that edits reach
// into the neighbours' meshes too.
const glm::ivec4 EDITED_CELLS[] = {{0, 64, 3, 5}, {7, 63, 0, 7}, {3, 48, 7, 0}, {0, 79, 0, 0}};

TEST(StreamingEdits, EditsDuringAPassEndInMeshesThatShowThem) {
    testfs::TempWorkDir tmp;
    World world;
    world.setPath(tmp.path.string());
    world.spawnCreatures = false;
    ASSERT_TRUE(world.update(HERE, ALONG_W, 1));
    ASSERT_TRUE(waitForPass(world));

    // Save steps as the game takes them while it is played: copies of the edited chunks taken
    // here, written on the workers beside the pass and the edits.
    int steps = 0;
    const auto saveStep = [&world, &steps] {
        ++steps;
        for (const auto& [coords, chunk] : world.chunks) {
            if (!chunk->maySave()) continue;
            auto copy = std::make_shared<Chunk::SaveCopy>(chunk->saveCopy());
            if (!chunk->changedSinceSave(*copy)) continue;
            world.saveOnWorkers([&world, copy] { Chunk::writeSaveCopy(world.chunksPath, *copy); });
        }
    };

    // A wider disc around the same spot: new chunks load, and mesh workers rebuild the loaded
    // ones beside them, while the main thread edits and rebuilds what it marked.
    ASSERT_TRUE(world.update(HERE, ALONG_W, 3));
    int rounds = 0, edits = 0;
    while (!world.loadDone) {
        ++rounds;
        if (world.pendingSaves == 0) saveStep();
        for (const auto& [coords, chunk] : world.chunks) {
            if (!chunk->loaded) continue;
            const glm::ivec4 origin(int(coords.x) * 8, 0, int(coords.y) * 8, int(coords.z) * 8);
            for (const glm::ivec4& cell : EDITED_CELLS) {
                const glm::ivec4 at = origin + cell;
                world.setBlock(at, world.getBlock(at) == 0 ? 3 : 0);
                ++edits;
            }
            chunk->updateMesh(&world);
        }
    }
    ASSERT_TRUE(waitForPass(world));
    EXPECT_GT(rounds, 1) << "the pass ended before any edit raced it";
    RecordProperty("edits", edits);

    for (const auto& [coords, chunk] : world.chunks) chunk->updateMesh(&world);
    for (const auto& [coords, chunk] : world.chunks) {
        ASSERT_TRUE(chunk->loaded);
        const Chunk::Neighbours neighbours = chunk->gatherNeighbours(&world);
        for (int s = 0; s < Chunk::SECTION_COUNT; ++s) {
            Chunk::ChunkMesh fresh;
            chunk->buildSectionMesh(fresh, uint8_t(s * Chunk::SECTION_HEIGHT), neighbours);
            EXPECT_FALSE(chunk->sectionMeshes[s].dirty);
            EXPECT_TRUE(chunk->sectionMeshes[s].positions == fresh.positions)
                << "chunk (" << coords.x << ", " << coords.y << ", " << coords.z << ") section " << s
                << " does not show its blocks";
        }
    }

    // The last step, once the others are written, stores the chunks as they are.
    world.waitForSaves();
    saveStep();
    world.waitForSaves();
    EXPECT_GT(steps, 2);
    for (const auto& [coords, chunk] : world.chunks) {
        if (chunk->unchanged) continue;
        Chunk stored(coords);
        ASSERT_TRUE(stored.load(world.chunksPath));
        EXPECT_TRUE(stored.blocks == chunk->blocks);
    }

    world.stopLoading = true;
    world.freeChunks();
}

}  // namespace
