#include "gui/Paint.h"

#include "engine/BitmapText.h"
#include "engine/Shader.h"
#include "engine/SolidQuad.h"

namespace gui::paint {

namespace {
void drawCorners(SolidQuad& quad, GLenum mode) {
    if (!quad.shader || !quad.vao) return;
    glUseProgram(quad.shader->program);
    glBindVertexArray(quad.vao);
    glDrawArrays(mode, 0, 4);
    glBindVertexArray(0);
}
}  // namespace

void fillRect(SolidQuad& quad, float x, float y, float width, float height, glm::vec4 color) {
    quad.setRect(x, y, width, height);
    quad.setColor(color.r, color.g, color.b, color.a);
    drawCorners(quad, GL_TRIANGLE_FAN);
}

void fillVerticalGradient(SolidQuad& quad, float x, float y, float width, float height,
                          glm::vec4 top, glm::vec4 bottom) {
    quad.setRect(x, y, width, height);
    const glm::vec4 corners[4] = {bottom, top, top, bottom};
    quad.setCornerColors(corners);
    drawCorners(quad, GL_TRIANGLE_FAN);
}

void outlineRect(SolidQuad& quad, float x, float y, float width, float height, glm::vec4 color) {
    if (width < 1 || height < 1) return;
    // Lines through pixel centres, so the outline covers exactly the edge pixels.
    quad.setRect(x + 0.5f, y + 0.5f, width - 1, height - 1);
    quad.setColor(color.r, color.g, color.b, color.a);
    drawCorners(quad, GL_LINE_LOOP);
}

void drawText(BitmapText& renderer, const std::string& text, int x, int y, unsigned scale,
              bool centered, glm::vec4 color) {
    if (text.empty()) return;
    renderer.x = x;
    renderer.y = y;
    renderer.scale = scale;
    renderer.centered = centered;
    renderer.color = color;
    renderer.setText(text);
    renderer.render();
}

glm::vec2 randomInDisc(float radius) {
    thread_local std::mt19937 random{std::random_device{}()};
    return randomInDisc(random, radius);
}

glm::ivec2 randomPixelsInDisc(float radius) { return glm::ivec2(randomInDisc(radius)); }

glm::vec2 randomInDisc(std::mt19937& random, float radius) {
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    glm::vec2 p;
    do {
        p = {unit(random), unit(random)};
    } while (p.x * p.x + p.y * p.y > 1.0f);
    return p * radius;
}

}  // namespace gui::paint
