#include "engine/BitmapText.h"

#include "engine/GlContext.h"
#include "engine/Shader.h"
#include "engine/Texture.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <utility>

BitmapText::BitmapText(Texture* font, Shader* shader) : font(font), shader(shader) {
    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &vbo);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, 0, nullptr, GL_STATIC_DRAW);
    // One byte per character on the integer path: the shader sees the byte value itself.
    glVertexAttribIPointer(0, 1, GL_BYTE, 1, nullptr);
    glEnableVertexAttribArray(0);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

BitmapText::BitmapText(BitmapText&& other) noexcept
    : text(std::move(other.text)),
      charWidth(other.charWidth),
      charHeight(other.charHeight),
      scale(other.scale),
      x(other.x),
      y(other.y),
      color(other.color),
      model(other.model),
      centered(other.centered),
      font(other.font),
      shader(other.shader),
      vao(std::exchange(other.vao, 0)),
      vbo(std::exchange(other.vbo, 0)),
      uploadedLength(std::exchange(other.uploadedLength, 0)) {}

BitmapText& BitmapText::operator=(BitmapText&& other) noexcept {
    if (this == &other) return *this;
    release();
    text = std::move(other.text);
    charWidth = other.charWidth;
    charHeight = other.charHeight;
    scale = other.scale;
    x = other.x;
    y = other.y;
    color = other.color;
    model = other.model;
    centered = other.centered;
    font = other.font;
    shader = other.shader;
    vao = std::exchange(other.vao, 0);
    vbo = std::exchange(other.vbo, 0);
    uploadedLength = std::exchange(other.uploadedLength, 0);
    return *this;
}

BitmapText::~BitmapText() { release(); }

void BitmapText::release() {
    if (glContextAlive()) {
        if (vbo != 0) glDeleteBuffers(1, &vbo);
        if (vao != 0) glDeleteVertexArrays(1, &vao);
    }
    vao = 0;
    vbo = 0;
    uploadedLength = 0;
}

void BitmapText::setText(const std::string& newText) {
    text = newText;
    if (vbo != 0) {
        glBindBuffer(GL_ARRAY_BUFFER, vbo);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(text.size()), text.data(),
                     GL_STATIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        uploadedLength = static_cast<GLsizei>(text.size());
    }
    updateModel();
}

void BitmapText::updateModel() {
    int left = x, top = y;
    if (centered) {
        left -= static_cast<int>(charWidth * text.size() * scale / 2);
        top -= static_cast<int>(charHeight * scale / 2);
    }
    model = glm::translate(glm::mat4(1.0f),
                           glm::vec3(static_cast<float>(left), static_cast<float>(top), 0.0f));
}

void BitmapText::render() {
    if (vao == 0 || !shader) return;
    glActiveTexture(GL_TEXTURE0);
    glUseProgram(shader->program);
    glBindTexture(GL_TEXTURE_2D, font ? font->id : 0);
    glUniform4fv(glGetUniformLocation(shader->program, "inColor"), 1, glm::value_ptr(color));
    glUniform2i(glGetUniformLocation(shader->program, "charSize"),
                static_cast<GLint>(charWidth * scale), static_cast<GLint>(charHeight * scale));
    glUniformMatrix4fv(glGetUniformLocation(shader->program, "MV"), 1, GL_FALSE,
                       glm::value_ptr(model));
    glBindVertexArray(vao);
    glDrawArrays(GL_POINTS, 0, std::min(uploadedLength, static_cast<GLsizei>(text.size())));
    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
}
