#include "screens/PauseState.h"

#include "engine/StateManager.h"
#include "gui/Paint.h"
#include "screens/MenuWidgets.h"
#include "screens/ScreenBasics.h"
#include "screens/StackCallbacks.h"

#include <GL/glew.h>

#include <initializer_list>

PauseState pauseState;

void PauseState::init(StateManager& s) {
    initMenu(s);
    using menu::Place;
    menu::setUpButton(backButton, "back to game...", 350, 50, Place{menu::centred, menu::centred, 0, 0},
                      popStateCallback, &s);
    menu::setUpButton(quitButton, "quit to title screen", 350, 50, Place{menu::centred, menu::bottom, 0, -50},
                      quitToTitle, &s);
    menu::setUpButton(settingsButton, "settings", 350, 50, Place{menu::centred, menu::bottom, 0, -150},
                      pushSettingsState, &s);
    menu::setUpText(pausedText, "Paused...", 4, Place{menu::centred, menu::top, 0, 100});
    pausedText.cursorGlow = true;
    for (gui::Element* element :
         std::initializer_list<gui::Element*>{&backButton, &quitButton, &settingsButton, &pausedText})
        interface.addElement(element);
}

void PauseState::render(StateManager& s) {
    drawGameBeneath(s);
    int width, height;
    screen::windowSize(s.window, width, height);
    gui::paint::fillRect(quad, 0.0f, 0.0f, float(width), float(height), glm::vec4(0.0f, 0.0f, 0.0f, 0.5f));
    interface.render();
    glDepthMask(GL_TRUE);
}
