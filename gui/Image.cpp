#include "gui/Image.h"

#include "engine/Shader.h"
#include "engine/Texture.h"
#include "engine/TexturedQuad.h"
#include "gui/Window.h"

namespace gui {

void Image::getPos(Window& window, int& px, int& py) {
    alignInWindow(window, alignX, alignY, x, y, width, height, px, py);
}

void Image::getSize(Window&, int& w, int& h) {
    w = width;
    h = height;
}

void Image::render(Window& window) {
    if (!quad || !quad->shader || !quad->texture || !quad->vao) return;
    int px, py;
    getPos(window, px, py);
    quad->setRect(px, py, width, height);
    glActiveTexture(GL_TEXTURE0);
    glUseProgram(quad->shader->program);
    glBindTexture(GL_TEXTURE_2D, quad->texture->id);
    glBindVertexArray(quad->vao);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace gui
