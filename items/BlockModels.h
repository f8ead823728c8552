#pragma once

#include "engine/MeshRenderer.h"

#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include <array>
#include <cstdint>

// The 4D models of the world's blocks, drawn by block items and as the handle of every tool:
// the unit 4-cube as its 8 cubic cells (-x, +x, -y, +y, -z, +z, -w, +w) of 5 tetrahedra each,
// with the texture coordinates of the block's faces in "tiles.png".
inline constexpr int BLOCK_MODEL_COUNT = 14;
inline constexpr int BLOCK_MODEL_VERTICES = 160;

struct BlockModel {
    std::array<glm::u8vec4, BLOCK_MODEL_VERTICES> positions;
    std::array<glm::u8vec3, BLOCK_MODEL_VERTICES> texCoords;
};

// The model of block id (1..14); no GL needed.
BlockModel buildBlockModel(uint8_t id);

// Block id k at index k - 1. Filled by initBlockMeshes when the game screen starts.
extern std::array<RenderedMesh, BLOCK_MODEL_COUNT> blockMeshes;

// Builds every model and uploads it (earlier uploads are released first). GL context needed.
void initBlockMeshes();
