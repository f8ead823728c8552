#pragma once

#include "gui/Button.h"
#include "gui/ContentBox.h"
#include "gui/Text.h"
#include "screens/BackdropMenu.h"

#include <filesystem>
#include <string>
#include <vector>

// The list of saved worlds, over the title screen's turning world: one button per world in a
// scrollable box, "New World" and "Cancel". Choosing a world points the game's world at its
// folder; the next tick leaves the menus for the game. The list is read again at every start.
class SinglePlayerState : public BackdropMenu {
public:
    gui::Button newWorldButton;
    gui::Button cancelButton;
    gui::ContentBox worldBox;
    gui::Text titleText;
    gui::Text emptyText;
    std::vector<gui::Button> worldButtons;
    std::vector<std::string> worldPaths;  // the folder of each button, in the same order
    bool worldChosen = false;
    // Where the worlds are; tests point it at a temporary directory.
    std::filesystem::path worldsRoot = "worlds";

    void init(StateManager& s) override;
    void close(StateManager& s) override;
    void update(StateManager& s) override;
    void resume(StateManager& s) override;
    void windowResize(StateManager& s, int width, int height) override;

    // Sizes the box and the world buttons for the window, and how far the box scrolls.
    void layout(int width, int height);

    // A world button's callback; its user data is the world's folder path.
    static void onSelectWorld(void* folderPath);

private:
    void fillWorldBox();
};

extern SinglePlayerState singlePlayerState;
