#pragma once

#include "engine/Math4D.h"
#include "world/CloudChunk.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

// The drifting layer of flat clouds at height 256. Like the world it keeps only the cloud
// chunks on a disc around the player in the view hyperplane; unlike the world everything
// happens on the main thread. Vectors of three are (x, z, w).
class Clouds {
public:
    static constexpr float CELL_WIDTH = 64.0f;
    static constexpr float CHUNK_SPAN = CELL_WIDTH * CloudChunk::SIZE;  // 384
    static constexpr float LAYER_HEIGHT = 256.0f;
    // Relative movement of player and clouds that calls for a new selection.
    static constexpr float RESELECT_DISTANCE = 6.0f;

    // Map order: x, then z, then w.
    struct KeyOrder {
        bool operator()(const glm::i64vec3& a, const glm::i64vec3& b) const {
            if (a.x != b.x) return a.x < b.x;
            if (a.y != b.y) return a.y < b.y;
            return a.z < b.z;
        }
    };

    glm::vec3 offset{0.0f};
    glm::vec3 velocity{0.05f, 0.03f, 0.0f};
    glm::vec3 lastPos{0.0f};
    glm::vec3 lastOffset{0.0f};
    std::map<glm::i64vec3, std::unique_ptr<CloudChunk>, KeyOrder> chunks;
    std::mutex mutex;  // guards chunks during generation and drawing
    std::atomic<bool> ready{true};
    std::atomic<int32_t> count{0};
    std::vector<CloudChunk*> pending;
    std::vector<glm::i64vec3> pendingCoords;

    // Every tick: drifts, and selects again when forced or after enough relative movement.
    void update(const glm::vec4& playerPos, const glm::vec4& over, uint8_t radius, bool force);
    // Every frame, with the cloud shader current; mvLocation is its 25-float "MV".
    void render(const Mat5& view, GLint mvLocation);
    // Destroys every cloud chunk (the game screen's close).
    void clear();

    void requestChunk(const glm::i64vec3& coords);
    void generatePending();
    void generateDensity(CloudChunk* chunk, int64_t x, int64_t z, int64_t w);
};
