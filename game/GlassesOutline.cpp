#include "game/GlassesOutline.h"

#include "engine/MeshRenderer.h"
#include "engine/Uniforms.h"

void drawGlassesOutline(const MeshRenderer& outline, const Mat5& mv, const glm::vec4& colour) {
    if (outline.vao == 0) return;
    Shader* wireframe = getShader("wireframeShader");
    if (!wireframe) return;
    glUseProgram(wireframe->program);
    uniforms::setFloat(*wireframe, "wFar", 8.0f);
    uniforms::setMat5(*wireframe, "MV", mv);
    uniforms::setVec4(*wireframe, "inColor", colour);
    outline.draw();
}
