#include "world/ChunkSnapshot.h"

#include <array>
#include <memory>
#include <mutex>

namespace {

constexpr int LAST = Chunk::SIZE - 1;

// The plane of neighbour i (x-1, x+1, z-1, z+1, w-1, w+1) that touches the chunk: its cells at
// local 7 on the axis for a lower neighbour, at 0 for a higher one.
void copyFacingPlane(const Chunk& from, Chunk& to, int neighbour) {
    const int axis = neighbour / 2;
    const int fixed = neighbour % 2 == 0 ? LAST : 0;
    for (int a = 0; a < Chunk::SIZE; ++a)
        for (int y = 0; y < Chunk::HEIGHT; ++y)
            for (int b = 0; b < Chunk::SIZE; ++b) {
                // (a, b) run over the two horizontal axes other than the neighbour's.
                const int x = axis == 0 ? fixed : a;
                const int z = axis == 1 ? fixed : axis == 0 ? a : b;
                const int w = axis == 2 ? fixed : b;
                const int i = Chunk::index(x, y, z, w);
                to.blocks[i] = from.blocks[i];
            }
}

}  // namespace

MeshingSnapshot::MeshingSnapshot(const Chunk& chunk, const Chunk::Neighbours& neighbours) {
    // Made once per thread: a chunk is large, and clearing seven of them for every build would
    // cost more than the copies.
    struct Copies {
        Chunk self;
        std::array<Chunk, 6> around;
    };
    thread_local std::unique_ptr<Copies> copies = std::make_unique<Copies>();
    {
        std::lock_guard<std::mutex> lock(chunk.blocksMutex);
        copies->self.blocks = chunk.blocks;
    }
    copies->self.coords = chunk.coords;
    self = &copies->self;
    for (int i = 0; i < 6; ++i) {
        const Chunk* neighbour = neighbours[i];
        if (!neighbour) continue;
        Chunk& copy = copies->around[i];
        {
            std::lock_guard<std::mutex> lock(neighbour->blocksMutex);
            copyFacingPlane(*neighbour, copy, i);
        }
        copy.coords = neighbour->coords;
        around[i] = &copy;
    }
}
