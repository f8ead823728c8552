#include "screens/BackdropMenu.h"

#include "engine/Shader.h"
#include "engine/StateManager.h"
#include "engine/Uniforms.h"
#include "gui/Paint.h"
#include "screens/ScreenBasics.h"
#include "screens/TitleState.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

void BackdropMenu::updateProjection(int width, int height, glm::ivec2 offset) {
    if (width <= 0 || height <= 0) return;
    uniforms::setProjection(getShader("blockShader"),
                          glm::perspective(1.2217305f, float(width) / float(height), 0.01f, 300.0f));
    setGuiProjection(width, height, offset);
}

void BackdropMenu::initMenu(StateManager& s) {
    initRenderers(s);
    int width, height;
    screen::windowSize(s.window, width, height);
    updateProjection(width, height);
    setUpPage(interface, s.window, true);
}

void BackdropMenu::render(StateManager& s) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    int width, height;
    screen::windowSize(s.window, width, height);
    titleState.renderBackground(width, height);
    glDepthMask(GL_FALSE);
    gui::paint::fillRect(quad, 0.0f, 0.0f, float(width), float(height), glm::vec4(0, 0, 0, 0.5f));
    interface.render();
    glDepthMask(GL_TRUE);
}
