#pragma once

#include "world/World.h"

// A world whose chunks the test makes and fills itself, without streaming. It deletes them at
// the end, as the screen that owns a world does.
struct HandMadeWorld {
    World world;

    HandMadeWorld() = default;
    HandMadeWorld(const HandMadeWorld&) = delete;
    HandMadeWorld& operator=(const HandMadeWorld&) = delete;
    ~HandMadeWorld() { deleteChunks(); }

    Chunk* add(const glm::i64vec3& coords, bool loaded = true) {
        auto* chunk = new Chunk(coords);
        chunk->loaded = loaded;
        world.chunks[coords] = chunk;
        return chunk;
    }

    void deleteChunks() {
        world.freeChunks();
    }
};
