#include "world/World.h"

#include <glm/mat4x4.hpp>

namespace {

// About a tenth of a frame's tetrahedra at render distance 8: enough to keep the renderer's
// threads busy, few enough flushes to cost nothing.
constexpr uint32_t TETRAHEDRA_PER_FLUSH = 5000;

// Drawing runs outside the lock: the map only changes on this thread, and entities may call
// back into the world (getChunk locks). Chunks still loading are skipped: their loader thread
// may be filling them.
std::vector<Chunk*> loadedChunks(const World::ChunkMap& chunks, std::mutex& chunksMutex) {
    std::vector<Chunk*> loaded;
    std::lock_guard<std::mutex> lock(chunksMutex);
    loaded.reserve(chunks.size());
    for (const auto& [coords, chunk] : chunks)
        if (chunk->loaded) loaded.push_back(chunk);
    return loaded;
}

}  // namespace

void World::render(const Mat5& view, bool glasses) {
    renderChunks(view);
    renderEntities(view, glasses);
}

void World::renderChunks(const Mat5& view) {
    Chunk::releaseRetiredRenderers();
    Chunk::SectionPass pass;
    // The software renderer cuts the tetrahedra on this thread and rasterises on its own
    // threads once the commands are flushed: flushed now and then, the rasterising of what has
    // been submitted goes on while this thread cuts the rest.
    uint32_t sinceFlush = 0;
    for (Chunk* chunk : loadedChunks(chunks, chunksMutex)) {
        sinceFlush += chunk->render(chunk->modelView(view), frustum, pass);
        if (sinceFlush >= TETRAHEDRA_PER_FLUSH) {
            glFlush();
            sinceFlush = 0;
        }
    }
}

void World::renderEntities(const Mat5& view, bool glasses) {
    for (Chunk* chunk : loadedChunks(chunks, chunksMutex)) {
        for (auto& entity : chunk->entities) entity->render(this, view, glasses);
        for (auto& [cell, entity] : chunk->blockEntities) entity->render(this, view, glasses);
    }
}

void World::updateFrustum(const glm::mat4& projection) {
    // glm is column-major: row i is (m[0][i], m[1][i], m[2][i], m[3][i]).
    auto row = [&](int i) {
        return glm::vec4(projection[0][i], projection[1][i], projection[2][i], projection[3][i]);
    };
    glm::vec4 r0 = row(0), r1 = row(1), r2 = row(2), r3 = row(3);
    frustum = {r3 + r2, r3 - r2, r3 + r0, r3 - r0, r3 - r1, r3 + r1};
    for (glm::vec4& plane : frustum) plane /= glm::length(glm::vec3(plane));
}
