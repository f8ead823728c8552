#include "world/Clouds.h"

#include "world/DiscSelection.h"

#include <glm/gtc/noise.hpp>

namespace {

// Noise above this (mapped to 0..1) is cloud.
constexpr float CLOUD_THRESHOLD = 0.65f;

}  // namespace

void Clouds::update(const glm::vec4& playerPos, const glm::vec4& over, uint8_t radius,
                    bool force) {
    offset += velocity;
    if (!ready) return;

    const glm::vec3 pos(playerPos.x, playerPos.z, playerPos.w);
    if (!force) {
        const glm::vec3 relative = (pos - lastPos) - (offset - lastOffset);
        if (glm::length(relative) < RESELECT_DISTANCE) return;
        lastPos = pos;
        lastOffset = offset;
    }
    ready = false;

    const DiscSelection disc = selectDisc((pos - offset) / CHUNK_SPAN, float(radius),
                                          glm::vec3(over.x, over.z, over.w));
    glm::i64vec3 below(0);
    below[disc.stepAxis] = 1;
    for (const DiscCell& cell : disc.cells) {
        requestChunk(cell.cell);
        requestChunk(cell.cell - below);
    }

    for (auto it = chunks.begin(); it != chunks.end();) {
        if (it->second->keep.exchange(false)) {
            ++it;
            continue;
        }
        it = chunks.erase(it);
        count.fetch_sub(1);
    }

    if (!pending.empty())
        generatePending();
    else
        ready = true;
}

void Clouds::requestChunk(const glm::i64vec3& coords) {
    auto found = chunks.find(coords);
    if (found != chunks.end()) {
        found->second->keep = true;
        return;
    }
    auto chunk = std::make_unique<CloudChunk>();
    chunk->keep = true;
    pending.push_back(chunk.get());
    pendingCoords.push_back(coords);
    chunks.emplace(coords, std::move(chunk));
}

void Clouds::generatePending() {
    for (size_t i = 0; i < pending.size(); ++i)
        generateDensity(pending[i], pendingCoords[i].x, pendingCoords[i].y, pendingCoords[i].z);
    for (CloudChunk* chunk : pending) chunk->buildMesh();
    pending.clear();
    pendingCoords.clear();
    ready = true;
}

void Clouds::generateDensity(CloudChunk* chunk, int64_t x, int64_t z, int64_t w) {
    constexpr int n = CloudChunk::SIZE;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < n; ++k) {
                const glm::vec3 p(float((x * n + i) * 4), float((z * n + j) * 4),
                                  float((w * n + k) * 4));
                const float v = (glm::simplex(p) + 1.0f) / 2.0f;
                chunk->cells[i][j][k] = v > CLOUD_THRESHOLD ? 1 : 0;
            }
    std::lock_guard<std::mutex> lock(mutex);
    count.fetch_add(1);
}

void Clouds::render(const Mat5& view, GLint mvLocation) {
    std::lock_guard<std::mutex> lock(mutex);
    const Mat5 scale = scale4(glm::vec4(CELL_WIDTH, 1.0f, CELL_WIDTH, CELL_WIDTH));
    constexpr auto span = int64_t(CHUNK_SPAN);
    for (auto& [coords, chunk] : chunks) {
        const glm::vec4 corner(float(coords.x * span) + offset.x, LAYER_HEIGHT,
                               float(coords.y * span) + offset.y, float(coords.z * span) + offset.z);
        const Mat5 mv = view * translate4(corner) * scale;
        glUniform1fv(mvLocation, 25, mv.data());
        chunk->draw();
    }
}

void Clouds::clear() {
    std::lock_guard<std::mutex> lock(mutex);
    chunks.clear();
    pending.clear();
    pendingCoords.clear();
    count = 0;
}
