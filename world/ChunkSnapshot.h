#pragma once

#include "world/Chunk.h"

#include <array>
#include <memory>

// What a mesh worker reads, copied in one go: the chunk's blocks and the cells of its neighbours
// that its faces look at, each taken under that chunk's blocksMutex. The main thread may edit
// blocks meanwhile; the worker builds from one consistent state and never reads a cell that is
// being written.
class MeshingSnapshot {
public:
    MeshingSnapshot(const Chunk& chunk, const Chunk::Neighbours& neighbours);

    const Chunk& chunk() const { return *self; }
    // Null where the chunk had no loaded neighbour.
    const Chunk::Neighbours& neighbours() const { return aroundPointers; }

private:
    std::unique_ptr<Chunk> self;
    std::array<std::unique_ptr<Chunk>, 6> around;
    Chunk::Neighbours aroundPointers{};
};
