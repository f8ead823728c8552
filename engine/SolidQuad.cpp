#include "engine/SolidQuad.h"

#include "engine/QuadGeometry.h"

#include <utility>

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

void SolidQuad::release() {
    GLuint* const buffers[4] = {&ebo, &posVbo, &colorVbo, &matrixVbo};
    quad::deleteObjects(vao, buffers, 4);
}

bool SolidQuad::init() {
    release();
    if (!shader) return false;
    glGenVertexArrays(1, &vao);
    GLuint names[4];
    glGenBuffers(4, names);
    ebo = names[0];
    posVbo = names[1];
    colorVbo = names[2];
    matrixVbo = names[3];
    glBindVertexArray(vao);
    quad::uploadIndices(ebo, mode);
    quad::uploadAttribute(posVbo, 0, 2, quad::corners, sizeof quad::corners);
    const float white[16] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    quad::uploadAttribute(colorVbo, 1, 4, white, sizeof white);
    quad::uploadMatrixAttribute(matrixVbo, 2, glm::mat4(1.0f));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return true;
}

void SolidQuad::setColor(float r, float g, float b, float a) {
    quad::replaceColor(colorVbo, r, g, b, a);
}

void SolidQuad::setRect(float x, float y, float width, float height) {
    const glm::mat4 model = quad::rectModel(x, y, width, height);
    quad::replaceData(matrixVbo, &model, sizeof model);
}
