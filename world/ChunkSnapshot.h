#pragma once

#include "world/Chunk.h"


// What a mesh worker reads, copied in one go: the chunk's blocks and the cells of its neighbours
// that its faces look at, each taken under that chunk's blocksMutex. The main thread may edit
// blocks meanwhile; the worker builds from one consistent state and never reads a cell that is
// being written.
//
// The copies live in storage of the calling thread that the next snapshot on that thread
// reuses: one snapshot per thread at a time.
class MeshingSnapshot {
public:
    MeshingSnapshot(const Chunk& chunk, const Chunk::Neighbours& neighbours);
    MeshingSnapshot(const MeshingSnapshot&) = delete;
    MeshingSnapshot& operator=(const MeshingSnapshot&) = delete;

    const Chunk& chunk() const { return *self; }
    // Null where the chunk had no loaded neighbour. Only the cells facing the chunk are copied.
    const Chunk::Neighbours& neighbours() const { return around; }

private:
    const Chunk* self = nullptr;
    Chunk::Neighbours around{};
};
