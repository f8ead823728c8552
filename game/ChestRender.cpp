#include "engine/MeshRenderer.h"
#include "engine/Uniforms.h"
#include "game/ChestEntity.h"

MeshRenderer chestOutline;

void ChestEntity::render(World*, const Mat5& view, bool glasses) {
    // Without the glasses the chunk draws the block and the chest nothing of its own.
    Shader* wireframe = getShader("wireframeShader");
    if (!glasses || !wireframe) return;
    glUseProgram(wireframe->program);
    uniforms::setFloat(*wireframe, "wFar", 8.0f);
    uniforms::setMat5(*wireframe, "MV", view * translate4(pos + 0.5f) * scale4(0.5f));
    uniforms::setVec4(*wireframe, "inColor", glm::vec4(1.0f, 0.5f, 0.0f, 1.0f));
    chestOutline.draw();
}
