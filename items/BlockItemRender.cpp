#include "engine/Shader.h"
#include "engine/Texture.h"
#include "items/BlockItem.h"
#include "items/BlockModels.h"
#include "items/ItemDrawing.h"

void BlockItem::renderIcon(const glm::ivec2& pos) {
    if (id < 1 || id > BLOCK_MODEL_COUNT) return;  // no cell for it
    itemDrawing::drawAtlasCell(itemDrawing::blockSprite, unsigned(id - 1) * itemAtlas::COLUMN_PITCH,
                               itemAtlas::BLOCK_ROW, pos);
}

void BlockItem::render(const Mat5& mv, bool held) {
    if (id < 1 || id > BLOCK_MODEL_COUNT) return;
    const MeshRenderer& model = blockMeshes[id - 1].renderer;
    Shader* shader = getShader("blockShader");
    if (!shader || !model.vao) return;
    // The unit cube's centre on the origin; a whole block a hand's width from the eye would
    // fill the view.
    const Mat5 m = mv * scale4(held ? heldScale : 1.0f) * translate4(glm::vec4(-0.5f));
    glActiveTexture(GL_TEXTURE2);
    Texture* tiles = getTexture("tiles.png");
    glBindTexture(GL_TEXTURE_2D, tiles ? tiles->id : 0);
    glActiveTexture(GL_TEXTURE0);
    glUseProgram(shader->program);
    glUniform1fv(glGetUniformLocation(shader->program, "MV"), 25, m.data());
    glBindVertexArray(model.vao);
    glDrawArrays(model.mode, 0, GLsizei(model.vertCount));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}
