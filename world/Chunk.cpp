#include "world/Chunk.h"

#include "world/World.h"

#include <cmath>
#include <utility>

namespace {

// GL names of destroyed chunks wait here until the main thread deletes them: a chunk may be
// destroyed on a save thread, and only the main thread may call GL.
std::mutex retiredMutex;
std::vector<SectionFaces> retiredRenderers;

}  // namespace

Chunk::Chunk(const glm::i64vec3& coords) : coords(coords) {}

Chunk::~Chunk() {
    blockEntities.clear();
    entities.clear();
    std::lock_guard<std::mutex> lock(retiredMutex);
    for (SectionFaces& renderer : sectionRenderers)
        if (renderer.vao != 0) retiredRenderers.push_back(std::move(renderer));
}

void Chunk::releaseRetiredRenderers() {
    std::vector<SectionFaces> toDelete;
    {
        std::lock_guard<std::mutex> lock(retiredMutex);
        toDelete.swap(retiredRenderers);
    }
    // Their destructors delete the GL objects, here on the main thread.
}

glm::u8vec4 Chunk::localCell(const glm::vec4& pos) {
    auto local = [](float v) { return uint8_t(int(v - 8.0f * std::floor(v / 8.0f))); };
    return glm::u8vec4(local(pos.x), uint8_t(int(pos.y)), local(pos.z), local(pos.w));
}

bool Chunk::isValidCellPosition(const glm::vec4& pos) {
    auto local = [](float v) { return v - 8.0f * std::floor(v / 8.0f); };
    if (!std::isfinite(pos.x) || !std::isfinite(pos.y) || !std::isfinite(pos.z) ||
        !std::isfinite(pos.w))
        return false;
    // Truncation of the local coordinates must land in 0..7 (0..255 for y) to be a key.
    return local(pos.x) < 8.0f && local(pos.z) < 8.0f && local(pos.w) < 8.0f && pos.y > -1.0f &&
           pos.y < 256.0f;
}

bool Chunk::addEntity(std::unique_ptr<Entity>&& entity) {
    if (!entity) return false;
    if (entity->isBlockEntity()) {
        // A position that makes no valid key (from a damaged file) places nothing.
        if (!isValidCellPosition(entity->getPos())) return false;
        // try_emplace leaves the argument untouched when the cell is taken: the newcomer dies.
        return blockEntities.try_emplace(localCell(entity->getPos()), std::move(entity)).second;
    }
    entities.push_back(std::move(entity));
    return true;
}

void Chunk::updateEntities(World* world, Player* player) {
    for (int i = int(entities.size()) - 1; i >= 0; --i) {
        if (i >= int(entities.size())) continue;
        entities[i]->update(world, player);
        if (entities[i]->isDead()) {
            entities.erase(entities.begin() + i);
            continue;
        }
        if (World::chunkCoords(entities[i]->getPos()) == coords) continue;
        if (world->addEntity(entities[i])) entities.erase(entities.begin() + i);
    }

    // Entries that moved to another cell are handed on after the walk, so that a move within
    // this chunk cannot rehash the map under the iteration.
    std::vector<glm::u8vec4> moved;
    for (auto it = blockEntities.begin(); it != blockEntities.end();) {
        it->second->update(world, player);
        if (it->second->isDead()) {
            it = blockEntities.erase(it);
            continue;
        }
        if (localCell(it->second->getPos()) != it->first) moved.push_back(it->first);
        ++it;
    }
    for (const glm::u8vec4& key : moved) {
        auto it = blockEntities.find(key);
        if (it == blockEntities.end()) continue;
        std::unique_ptr<Entity> entity = std::move(it->second);
        blockEntities.erase(it);
        if (!world->addEntity(entity)) blockEntities.try_emplace(key, std::move(entity));
    }
}
