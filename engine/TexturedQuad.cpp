#include "engine/TexturedQuad.h"

#include "engine/QuadGeometry.h"
#include "engine/Shader.h"
#include "engine/Texture.h"

#include <array>
#include <utility>

namespace {

// The buffers in the order they are made and deleted.
std::array<GLuint*, 5> buffersOf(TexturedQuad& q) {
    return {&q.ebo, &q.posVbo, &q.uvVbo, &q.matrixVbo, &q.colorVbo};
}

}  // namespace

TexturedQuad::TexturedQuad(TexturedQuad&& other) noexcept
    : texture(std::exchange(other.texture, nullptr)),
      shader(std::exchange(other.shader, nullptr)),
      vao(std::exchange(other.vao, 0)),
      ebo(std::exchange(other.ebo, 0)),
      posVbo(std::exchange(other.posVbo, 0)),
      uvVbo(std::exchange(other.uvVbo, 0)),
      matrixVbo(std::exchange(other.matrixVbo, 0)),
      colorVbo(std::exchange(other.colorVbo, 0)) {}

TexturedQuad& TexturedQuad::operator=(TexturedQuad&& other) noexcept {
    if (this == &other) return *this;
    release();
    texture = std::exchange(other.texture, nullptr);
    shader = std::exchange(other.shader, nullptr);
    vao = std::exchange(other.vao, 0);
    ebo = std::exchange(other.ebo, 0);
    posVbo = std::exchange(other.posVbo, 0);
    uvVbo = std::exchange(other.uvVbo, 0);
    matrixVbo = std::exchange(other.matrixVbo, 0);
    colorVbo = std::exchange(other.colorVbo, 0);
    return *this;
}

TexturedQuad::~TexturedQuad() { release(); }

void TexturedQuad::release() { quad::deleteObjects(vao, buffersOf(*this)); }

bool TexturedQuad::init() {
    release();
    if (!texture || !shader) return false;
    glUseProgram(shader->program);
    quad::createObjects(vao, buffersOf(*this));
    glBindVertexArray(vao);
    quad::uploadIndices(ebo, GL_TRIANGLES);
    quad::uploadAttribute(posVbo, 0, 2, quad::corners, sizeof quad::corners);
    quad::uploadAttribute(uvVbo, 1, 2, quad::corners, sizeof quad::corners);
    quad::uploadAttribute(colorVbo, 2, 4, quad::white, sizeof quad::white);
    quad::uploadMatrixAttribute(
        matrixVbo, 3,
        quad::rectModel(0, 0, static_cast<float>(texture->width),
                        static_cast<float>(texture->height)));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return true;
}

void TexturedQuad::setTexRect(unsigned x, unsigned y, unsigned width, unsigned height) {
    if (!texture || texture->width <= 0 || texture->height <= 0) return;
    const float w = static_cast<float>(texture->width), h = static_cast<float>(texture->height);
    const float left = static_cast<float>(x) / w, right = static_cast<float>(x + width) / w;
    const float top = static_cast<float>(y) / h, bottom = static_cast<float>(y + height) / h;
    // Same order as the corners (1, 1), (1, 0), (0, 0), (0, 1).
    const float uvs[8] = {right, bottom, right, top, left, top, left, bottom};
    quad::replaceData(uvVbo, uvs, sizeof uvs);
}

void TexturedQuad::setColor(float r, float g, float b, float a) {
    quad::replaceColor(colorVbo, r, g, b, a);
}

void TexturedQuad::setRect(float x, float y, float width, float height) {
    const glm::mat4 model = quad::rectModel(x, y, width, height);
    quad::replaceData(matrixVbo, &model, sizeof model);
}
