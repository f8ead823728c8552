#include "engine/MeshRenderer.h"
#include "game/ChestEntity.h"
#include "game/GlassesOutline.h"

MeshRenderer chestOutline;

void ChestEntity::render(World*, const Mat5& view, bool glasses) {
    // Without the glasses the chunk draws the block and the chest nothing of its own.
    if (glasses)
        drawGlassesOutline(chestOutline, view * translate4(pos + 0.5f) * scale4(0.5f),
                           glm::vec4(1.0f, 0.5f, 0.0f, 1.0f));
}
