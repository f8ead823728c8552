#include "world/World.h"

#include <algorithm>
#include <cmath>

void World::setPath(const std::string& dir) {
    path = std::filesystem::path(dir);
    chunksPath = path / "chunks";
}

namespace {

// floor(v / 8) and v - 8 floor(v / 8), in single precision as positions are.
float chunkFloor(float v) { return std::floor(v / 8.0f); }

// Positions read from a damaged file can be anything. Beyond this many chunks (and for a value
// that is not a number) a position lies in a chunk that nothing ever loads; neighbours of it
// are still in the 64-bit range.
constexpr float FARTHEST_CHUNK = 1e15f;
constexpr int64_t NOWHERE = int64_t(1) << 62;
// Chunks a picking segment may span on one axis.
constexpr int64_t MAX_PICK_SPAN = 16;

int64_t chunkOf(float v) {
    const float chunk = chunkFloor(v);
    return std::fabs(chunk) <= FARTHEST_CHUNK ? int64_t(chunk) : NOWHERE;
}

}  // namespace

glm::i64vec3 World::chunkCoords(const glm::ivec4& pos) {
    return chunkCoords(glm::vec4(pos));
}

glm::i64vec3 World::chunkCoords(const glm::vec4& pos) {
    return glm::i64vec3(chunkOf(pos.x), chunkOf(pos.z), chunkOf(pos.w));
}

glm::ivec4 World::localCell(const glm::ivec4& pos) {
    auto local = [](int v) { return int(float(v) - 8.0f * chunkFloor(float(v))); };
    return glm::ivec4(local(pos.x), pos.y, local(pos.z), local(pos.w));
}

Chunk* World::getChunk(const glm::i64vec3& coords) {
    std::lock_guard<std::mutex> lock(chunksMutex);
    auto it = chunks.find(coords);
    if (it == chunks.end() || !it->second->loaded) return nullptr;
    return it->second;
}

int16_t World::getBlock(const glm::ivec4& pos) {
    if (unsigned(pos.y) >= unsigned(Chunk::HEIGHT)) return 0;
    Chunk* chunk = getChunk(chunkCoords(pos));
    if (!chunk) return -1;
    glm::ivec4 cell = localCell(pos);
    return chunk->getBlock(cell.x, cell.y, cell.z, cell.w);
}

void World::setBlock(const glm::ivec4& pos, uint8_t id) {
    if (unsigned(pos.y) >= unsigned(Chunk::HEIGHT)) return;
    glm::i64vec3 coords = chunkCoords(pos);
    Chunk* chunk = getChunk(coords);
    if (!chunk) return;
    glm::ivec4 cell = localCell(pos);
    {
        // A mesh worker may be copying this chunk's blocks.
        std::lock_guard<std::mutex> lock(chunk->blocksMutex);
        chunk->setBlock(cell.x, cell.y, cell.z, cell.w, id);
    }
    chunk->unchanged = false;
    ++chunk->blocksVersion;

    const int section = cell.y / Chunk::SECTION_HEIGHT;
    chunk->sectionMeshes[section].dirty = true;
    chunk->meshDirty = true;
    if (cell.y > 15 && cell.y % 16 == 0) chunk->sectionMeshes[section - 1].dirty = true;
    if (cell.y % 16 == 15 && section < Chunk::SECTION_COUNT - 1)
        chunk->sectionMeshes[section + 1].dirty = true;

    // Faces toward a neighbour chunk change with this cell when it lies on the chunk edge.
    const int local[3] = {cell.x, cell.z, cell.w};
    for (int axis = 0; axis < 3; ++axis) {
        int step = local[axis] == 0 ? -1 : local[axis] == Chunk::SIZE - 1 ? 1 : 0;
        if (step == 0) continue;
        glm::i64vec3 other = coords;
        other[axis] += step;
        if (Chunk* neighbour = getChunk(other)) {
            neighbour->sectionMeshes[section].dirty = true;
            neighbour->meshDirty = true;
        }
    }
}

bool World::addEntity(std::unique_ptr<Entity>& entity) {
    if (!entity) return false;
    Chunk* chunk = getChunk(chunkCoords(entity->getPos()));
    if (!chunk) return false;
    return chunk->addEntity(std::move(entity));  // a refused entity is left where it was
}

std::unique_ptr<Entity>* World::getBlockEntity(const glm::ivec4& pos) {
    if (pos.y < 0 || pos.y > 255) return nullptr;  // would wrap onto another key
    Chunk* chunk = getChunk(chunkCoords(pos));
    if (!chunk) return nullptr;
    glm::ivec4 cell = localCell(pos);
    auto it = chunk->blockEntities.find(glm::u8vec4(cell.x, uint8_t(cell.y), cell.z, cell.w));
    return it == chunk->blockEntities.end() ? nullptr : &it->second;
}

namespace {

// Whether an entity at p with the given radius touches the segment from the nearer end n to
// the farther end f.
bool segmentHits(const glm::vec4& p, float radius, const glm::vec4& n, const glm::vec4& f) {
    float dist = glm::length(p - n);
    if (radius >= dist) return true;
    // Rounding can push the cosine of an entity right on the segment just past 1.
    float cosine = glm::dot((p - n) / dist, (f - n) / glm::length(f - n));
    float angle = std::acos(std::clamp(cosine, -1.0f, 1.0f));
    return std::fabs(angle) <= 1.5707964f && radius >= std::sin(angle) * dist;
}

}  // namespace

std::unique_ptr<Entity>* World::pickEntity(const glm::vec4& a, const glm::vec4& b) {
    // Chunk range on x, z, w, widened where the segment ends within 3 blocks of a chunk edge.
    int64_t lo[3], hi[3];
    const int axes[3] = {0, 2, 3};
    for (int i = 0; i < 3; ++i) {
        float low = std::min(a[axes[i]], b[axes[i]]);
        float high = std::max(a[axes[i]], b[axes[i]]);
        lo[i] = chunkOf(low);
        hi[i] = chunkOf(high);
        if (low - 8.0f * chunkFloor(low) <= 3.0f) --lo[i];
        if (8.0f - (high - 8.0f * chunkFloor(high)) <= 3.0f) ++hi[i];
        // The player's reach spans a few chunks; an end out of range would make the walk endless.
        if (hi[i] - lo[i] > MAX_PICK_SPAN) return nullptr;
    }

    for (int64_t x = lo[0]; x <= hi[0]; ++x)
        for (int64_t z = lo[1]; z <= hi[1]; ++z)
            for (int64_t w = lo[2]; w <= hi[2]; ++w) {
                Chunk* chunk = getChunk(glm::i64vec3(x, z, w));
                if (!chunk) continue;
                for (auto& entity : chunk->entities) {
                    if (!entity->isTargetable()) continue;
                    glm::vec4 p = entity->getPos();
                    bool aNearer = glm::length(p - a) < glm::length(p - b);
                    const glm::vec4& nearEnd = aNearer ? a : b;
                    const glm::vec4& farEnd = aNearer ? b : a;
                    if (segmentHits(p, entity->getRadius(), nearEnd, farEnd)) return &entity;
                }
            }
    return nullptr;
}
