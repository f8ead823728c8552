#include "engine/QuadGeometry.h"
#include "engine/Shader.h"
#include "engine/Texture.h"
#include "engine/Uniforms.h"
#include "gui/Paint.h"
#include "items/BlockModels.h"
#include "items/Item.h"
#include "items/ItemDrawing.h"
#include "items/MaterialItem.h"
#include "items/ToolItem.h"

#include <cmath>
#include <string>

namespace itemDrawing {

TexturedQuad blockSprite;
BitmapText text;
SolidQuad tooltipBox;

void initAtlasQuad(TexturedQuad& quad) {
    quad.texture = getTexture("items.png");
    quad.shader = getShader("tex2DShader");
    quad.init();
}

void drawAtlasCell(TexturedQuad& quad, unsigned texX, unsigned texY, const glm::ivec2& pos) {
    if (!quad.vao || !quad.texture || !quad.shader) return;
    quad.setTexRect(texX, texY, itemAtlas::CELL_WIDTH, itemAtlas::CELL_HEIGHT);
    quad.setRect(float(pos.x), float(pos.y), float(itemAtlas::ICON_WIDTH),
                 float(itemAtlas::ICON_HEIGHT));
    glActiveTexture(GL_TEXTURE0);
    glUseProgram(quad.shader->program);
    glBindTexture(GL_TEXTURE_2D, quad.texture->id);
    glBindVertexArray(quad.vao);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

Shader* useShaderFor(const char* name, const MeshRenderer& model) {
    Shader* shader = getShader(name);
    if (!shader || !model.vao) return nullptr;
    glUseProgram(shader->program);
    return shader;
}

void drawBlockModel(int id, const Mat5& mv) {
    if (id < 1 || id > BLOCK_MODEL_COUNT) return;
    const MeshRenderer& model = blockMeshes[id - 1].renderer;
    Shader* shader = useShaderFor("blockShader", model);
    if (!shader) return;
    glActiveTexture(GL_TEXTURE2);
    Texture* tiles = getTexture("tiles.png");
    glBindTexture(GL_TEXTURE_2D, tiles ? tiles->id : 0);
    glActiveTexture(GL_TEXTURE0);
    // The sampler reads the unit the tiles were bound to just above. Left at unit 0 it would
    // also share that unit with the face-record samplers until a chunk has been drawn, and a
    // draw with two kinds of sampler on one unit fails.
    glUniform1i(uniforms::location(*shader, "texSampler"), 2);
    uniforms::setMat5(*shader, "MV", mv);
    model.draw();
}

void drawText(BitmapText& renderer, const std::string& string, int x, int y, glm::vec4 color) {
    renderer.x = x;
    renderer.y = y;
    renderer.scale = 2;
    renderer.centered = false;
    renderer.color = color;
    renderer.setText(string);
    renderer.render();
}

}  // namespace itemDrawing

using namespace itemDrawing;

void Item::initRender() {
    initAtlasQuad(blockSprite);
    ToolItem::initRender();
    MaterialItem::initRender();
    text = BitmapText(getTexture("pixelfont.png"), getShader("textShader"));
    text.scale = 2;
    tooltipBox.shader = getShader("quadShader");
    tooltipBox.mode = GL_TRIANGLES;
    tooltipBox.indexCount = 6;
    tooltipBox.init();
}

namespace {

void drawBox(GLenum mode) {
    if (!tooltipBox.vao || !tooltipBox.shader) return;
    glUseProgram(tooltipBox.shader->program);
    glBindVertexArray(tooltipBox.vao);
    // The fill uses the quad's own triangles; the outline walks its corners in loop order.
    if (mode == GL_TRIANGLES)
        glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    else
        glDrawArrays(GL_LINE_LOOP, 0, 4);
    glBindVertexArray(0);
}

}  // namespace

void Item::renderStack(const std::unique_ptr<Item>& item, const glm::ivec2& pos) {
    if (!item) return;
    item->renderIcon(pos);
    // A lone unstackable item shows no number.
    if (item->getMaxStack() < 2 && item->count < 2) return;
    drawText(text, std::to_string(item->count), pos.x + 40, pos.y + 40, glm::vec4(1.0f));
}

void Item::renderTooltip(const std::unique_ptr<Item>& item, const glm::ivec2& cursor) {
    if (!item) return;
    const std::string name = item->getName();
    const float x = float(cursor.x), y = float(cursor.y - 30);
    const float width = float(name.size() * 16 + 10), height = 26.0f;

    tooltipBox.setRect(x, y, width, height);
    tooltipBox.setColor(0, 0, 0, 1);
    drawBox(GL_TRIANGLES);

    if (item->isSpecial()) {
        const glm::ivec2 d1 = gui::paint::randomPixelsInDisc(5.0f);
        const glm::ivec2 d2 = gui::paint::randomPixelsInDisc(5.0f);
        // Corners (1,1), (1,0), (0,0), (0,1): cyan along the top edge, magenta along the bottom.
        const float colors[16] = {1, 0, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 1, 0, 1, 1};
        quad::replaceData(tooltipBox.colorVbo, colors, sizeof colors);
        drawBox(GL_LINE_LOOP);
        drawText(text, name, cursor.x + 5 + d1.x, cursor.y - 25 + d1.y, {1, 0, 1, 0.7f});
        drawText(text, name, cursor.x + 5 + d2.x, cursor.y - 25 + d2.y, {0, 1, 1, 0.7f});
    } else {
        tooltipBox.setColor(0.5f, 0, 0.5f, 1);
        drawBox(GL_LINE_LOOP);
    }
    drawText(text, name, cursor.x + 5, cursor.y - 25, glm::vec4(1.0f));
}
