#include "world/ChunkSnapshot.h"

#include <array>
#include <cstring>
#include <memory>
#include <mutex>

namespace {

constexpr int LAST = Chunk::SIZE - 1;

// The plane of neighbour i (x-1, x+1, z-1, z+1, w-1, w+1) that touches the chunk: its cells at
// local 7 on the axis for a lower neighbour, at 0 for a higher one. Rows along w are contiguous
// in the block array, and so is a whole x slice.
void copyFacingPlane(const Chunk& from, Chunk& to, int neighbour) {
    const int fixed = neighbour % 2 == 0 ? LAST : 0;
    auto copy = [&](int first, int count) {
        std::memcpy(to.blocks.data() + first, from.blocks.data() + first, size_t(count));
    };
    switch (neighbour / 2) {
    case 0:
        copy(Chunk::index(fixed, 0, 0, 0), Chunk::HEIGHT * Chunk::SIZE * Chunk::SIZE);
        break;
    case 1:
        for (int x = 0; x < Chunk::SIZE; ++x)
            for (int y = 0; y < Chunk::HEIGHT; ++y) copy(Chunk::index(x, y, fixed, 0), Chunk::SIZE);
        break;
    default:
        for (int x = 0; x < Chunk::SIZE; ++x)
            for (int y = 0; y < Chunk::HEIGHT; ++y)
                for (int z = 0; z < Chunk::SIZE; ++z) copy(Chunk::index(x, y, z, fixed), 1);
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
