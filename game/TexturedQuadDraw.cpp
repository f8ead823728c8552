#include "game/TexturedQuadDraw.h"

#include "engine/Shader.h"
#include "engine/Texture.h"
#include "engine/TexturedQuad.h"

#include <GL/glew.h>

void drawTexturedQuad(const TexturedQuad& quad) {
    if (!quad.vao || !quad.shader || !quad.texture) return;
    glActiveTexture(GL_TEXTURE0);
    glUseProgram(quad.shader->program);
    glBindTexture(GL_TEXTURE_2D, quad.texture->id);
    glBindVertexArray(quad.vao);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}
