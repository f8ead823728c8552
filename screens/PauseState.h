#pragma once

#include "gui/Button.h"
#include "gui/Text.h"
#include "screens/OverGameMenu.h"

// The pause menu, pushed by the game screen on Escape: the frozen game under a dark veil,
// "Paused...", and buttons back to the game, to the settings and to the title screen.
class PauseState : public OverGameMenu {
public:
    gui::Button backButton;
    gui::Button quitButton;
    gui::Button settingsButton;
    gui::Text pausedText;

    void init(StateManager& s) override;
    void render(StateManager& s) override;
};

extern PauseState pauseState;
