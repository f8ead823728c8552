#pragma once

#include "gui/Interface.h"
#include "screens/MenuScreen.h"

// A menu over the frozen game: the pause and death screens. The game screen stays below and
// does not tick, and every frame draws it beneath the menu. Escape goes back to the game; when
// the window is asked to close, the menu and the game leave together, and the game saves.
class OverGameMenu : public MenuScreen {
public:
    gui::Interface interface;

    // Empties the interface.
    void close(StateManager& s) override;
    void update(StateManager& s) override;
    void resume(StateManager&) override {}
    void windowResize(StateManager& s, int width, int height) override;

protected:
    gui::Interface& shownPage() override { return interface; }
    // The start both menus make: renderers, projection and an empty interface.
    void initMenu(StateManager& s);
    // The game as it was last drawn (the screen just below this one), with depth writes on;
    // 2D drawing follows with depth writes off.
    void drawGameBeneath(StateManager& s);
};
