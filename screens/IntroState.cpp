#include "screens/IntroState.h"

#include "engine/StateManager.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

IntroState introState;

void IntroState::update(StateManager& s) {
    if (glfwWindowShouldClose(s.window)) s.popState();
}

void IntroState::render(StateManager&) { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }
