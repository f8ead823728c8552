#include "engine/SolidQuad.h"

#include "engine/QuadGeometry.h"

#include <array>
#include <utility>

namespace {

// The buffers in the order they are made and deleted.
std::array<GLuint*, 4> buffersOf(SolidQuad& q) {
    return {&q.ebo, &q.posVbo, &q.colorVbo, &q.matrixVbo};
}

}  // namespace

SolidQuad::SolidQuad(SolidQuad&& other) noexcept
    : shader(other.shader),
      vao(std::exchange(other.vao, 0)),
      ebo(std::exchange(other.ebo, 0)),
      posVbo(std::exchange(other.posVbo, 0)),
      colorVbo(std::exchange(other.colorVbo, 0)),
      matrixVbo(std::exchange(other.matrixVbo, 0)),
      mode(other.mode),
      indexCount(other.indexCount) {}

SolidQuad& SolidQuad::operator=(SolidQuad&& other) noexcept {
    if (this == &other) return *this;
    release();
    shader = other.shader;
    vao = std::exchange(other.vao, 0);
    ebo = std::exchange(other.ebo, 0);
    posVbo = std::exchange(other.posVbo, 0);
    colorVbo = std::exchange(other.colorVbo, 0);
    matrixVbo = std::exchange(other.matrixVbo, 0);
    mode = other.mode;
    indexCount = other.indexCount;
    return *this;
}

SolidQuad::~SolidQuad() { release(); }

void SolidQuad::release() { quad::deleteObjects(vao, buffersOf(*this)); }

bool SolidQuad::init() {
    release();
    if (!shader) return false;
    quad::createObjects(vao, buffersOf(*this));
    glBindVertexArray(vao);
    quad::uploadIndices(ebo, mode);
    quad::uploadAttribute(posVbo, 0, 2, quad::corners, sizeof quad::corners);
    quad::uploadAttribute(colorVbo, 1, 4, quad::white, sizeof quad::white);
    quad::uploadMatrixAttribute(matrixVbo, 2, glm::mat4(1.0f));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return true;
}

void SolidQuad::setColor(float r, float g, float b, float a) {
    quad::replaceColor(colorVbo, r, g, b, a);
}

void SolidQuad::setCornerColors(const glm::vec4 (&colors)[4]) {
    quad::replaceData(colorVbo, colors, sizeof colors);
}

void SolidQuad::setRect(float x, float y, float width, float height) {
    const glm::mat4 model = quad::rectModel(x, y, width, height);
    quad::replaceData(matrixVbo, &model, sizeof model);
}
