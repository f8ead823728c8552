#include "screens/CreditsState.h"

#include "engine/Shader.h"
#include "engine/StateManager.h"
#include "engine/Texture.h"
#include "engine/Uniforms.h"
#include "gui/Paint.h"
#include "gui/PixelProjection.h"
#include "screens/ScreenBasics.h"

#include <GLFW/glfw3.h>

CreditsState creditsState;

void CreditsState::updateProjection(int width, int height) {
    if (width <= 0 || height <= 0) return;
    projection2D = gui::pixelProjection(width, height);
    uniforms::setProjection(getShader("textShader"), projection2D);
    uniforms::setProjection(quadShader, projection2D);
}

void CreditsState::init(StateManager& s) {
    int width, height;
    screen::windowSize(s.window, width, height);
    quadShader = getShader("quadShader");
    updateProjection(width, height);
    text = BitmapText(getTexture("pixelfont.png"), getShader("textShader"));
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    offset = 0.0f;
}

bool CreditsState::advance(int windowHeight) {
    offset += 1.0f;
    return offset - float(windowHeight) >= runOut;
}

void CreditsState::update(StateManager& s) {
    if (glfwWindowShouldClose(s.window)) {
        s.popState();
        return;
    }
    int width, height;
    screen::windowSize(s.window, width, height);
    if (advance(height)) s.popState();
}

void CreditsState::render(StateManager& s) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    int width, height;
    screen::windowSize(s.window, width, height);
    const int top = int(float(height) - offset);
    gui::paint::drawText(text, firstLine, width / 2, top + 20, 3, true, glm::vec4(1.0f));
    gui::paint::drawText(text, secondLine, width / 2, top + 220, 3, true, glm::vec4(1.0f));
}

void CreditsState::keyInput(StateManager& s, int key, int, int action, int) {
    if (key == GLFW_KEY_ESCAPE && action == GLFW_PRESS) s.popState();
}

void CreditsState::windowResize(StateManager&, int width, int height) { updateProjection(width, height); }

void CreditsState::releaseGl() { text.release(); }
