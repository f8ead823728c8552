#include "screens/OverGameMenu.h"

#include "engine/StateManager.h"

#include <GL/glew.h>

#include <algorithm>

void OverGameMenu::initMenu(StateManager& s) {
    initRenderers(s);
    setUpPage(interface, s.window, false);
}

void OverGameMenu::close(StateManager&) { interface.clearElements(); }

void OverGameMenu::update(StateManager& s) { leaveWithScreenBelowOnClose(s); }

void OverGameMenu::windowResize(StateManager&, int width, int height) { setGuiProjection(width, height); }

void OverGameMenu::drawGameBeneath(StateManager& s) {
    glDepthMask(GL_TRUE);
    auto self = std::find(s.states.begin(), s.states.end(), this);
    if (self != s.states.end() && self != s.states.begin()) (*(self - 1))->render(s);
    glDepthMask(GL_FALSE);
}
