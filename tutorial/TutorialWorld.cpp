#include "tutorial/TutorialWorld.h"

#include <glm/gtc/noise.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <algorithm>

namespace tutorial {

namespace {
// Noise coordinates run at one unit per eight blocks.
constexpr float noiseScale = 8.0f;
constexpr float caveThreshold = 0.5f;
constexpr int dirtDepth = 3;
}  // namespace

int surfaceHeight(int x, int z) {
    const float n = glm::simplex(glm::vec2(float(x) / noiseScale, float(z) / noiseScale));
    return std::min(int((n + 1.0f) * 0.5f * 5.0f + 8.0f), worldSize - 1);
}

void generateWorld(Blocks& blocks) {
    for (int x = 0; x < worldSize; ++x)
        for (int z = 0; z < worldSize; ++z) {
            const int height = surfaceHeight(x, z);
            blocks[blockIndex(x, 0, z)] = bedrock;
            for (int y = 1; y < worldSize; ++y) {
                const glm::vec3 p(float(x) / noiseScale, float(y) / noiseScale, float(z) / noiseScale);
                uint8_t id = stone;
                if (glm::simplex(p) > caveThreshold || y > height) id = air;
                else if (y == height) id = grass;
                else if (y >= height - dirtDepth) id = dirt;
                blocks[blockIndex(x, y, z)] = id;
            }
        }
}

uint8_t blockAt(const Blocks& blocks, int x, int y, int z) {
    return insideWorld(x, y, z) ? blocks[blockIndex(x, y, z)] : uint8_t(air);
}

bool isSolidCell(const Blocks& blocks, int x, int y, int z) {
    if (x < 0 || z < 0 || x >= worldSize || z >= worldSize) return true;
    if (y < 0) return true;
    if (y >= worldSize) return false;
    return blocks[blockIndex(x, y, z)] != air;
}

}  // namespace tutorial
