#include "engine/MeshRenderer.h"
#include "engine/Shader.h"
#include "game/ItemEntity.h"

#include <cmath>

MeshRenderer itemEntityOutline;

Mat5 ItemEntity::modelView(const Mat5& view) const {
    const float bob = (std::sin(spin) + 1.0f) * 0.1f;
    const float diagonal = 1.0f / std::sqrt(2.0f);
    const Bivector4 plane = wedge4({1.0f, 0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, diagonal, diagonal});
    const Mat5 rotation = Rotor4(plane, spin).toMat5();
    return view * translate4(pos + glm::vec4(0.0f, bob, 0.0f, 0.0f)) * rotation * scale4(0.2f);
}

void ItemEntity::render(World*, const Mat5& view, bool glasses) {
    if (!item) return;
    const Mat5 mv = modelView(view);
    item->render(mv, false);
    if (!glasses || itemEntityOutline.vao == 0) return;
    Shader* wireframe = getShader("wireframeShader");
    if (!wireframe) return;
    glUseProgram(wireframe->program);
    glUniform1f(glGetUniformLocation(wireframe->program, "wFar"), 8.0f);
    glUniform1fv(glGetUniformLocation(wireframe->program, "MV"), 25, mv.data());
    glUniform4f(glGetUniformLocation(wireframe->program, "inColor"), 0.0f, 1.0f, 1.0f, 1.0f);
    glBindVertexArray(itemEntityOutline.vao);
    glDrawArrays(itemEntityOutline.mode, 0, GLsizei(itemEntityOutline.vertCount));
    glBindVertexArray(0);
}
