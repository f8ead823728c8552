#include "screens/SinglePlayerState.h"

#include "engine/StateManager.h"
#include "game/GameState.h"
#include "screens/CreateWorldState.h"
#include "screens/MenuWidgets.h"
#include "screens/ScreenBasics.h"
#include "screens/StackCallbacks.h"
#include "screens/TitleState.h"
#include "screens/WorldFolders.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <system_error>

SinglePlayerState singlePlayerState;

namespace {

void pushCreateWorld(void* manager) {
    static_cast<StateManager*>(manager)->pushState(&createWorldState);
}

}  // namespace

void SinglePlayerState::init(StateManager& s) {
    initMenu(s);
    using menu::Place;
    menu::setUpButton(newWorldButton, "New World", 200, 50, Place{menu::right, menu::bottom, -50, -50},
                      pushCreateWorld, &s);
    menu::setUpButton(cancelButton, "Cancel", 120, 50, Place{menu::left, menu::bottom, 50, -50},
                      popStateCallback, &s);
    menu::setUpText(titleText, "Your Worlds:", 2, Place{menu::centred, menu::top, 0, 50});
    worldBox.parent = &interface;
    menu::place(worldBox, Place{menu::centred, menu::top, 0, 100});
    worldBox.scrollY = 0;
    for (gui::Element* element :
         std::initializer_list<gui::Element*>{&newWorldButton, &cancelButton, &titleText, &worldBox})
        interface.addElement(element);

    fillWorldBox();
    int width, height;
    screen::windowSize(s.window, width, height);
    layout(width, height);
    worldChosen = false;
}

void SinglePlayerState::fillWorldBox() {
    worldBox.clearElements();
    worldPaths.clear();
    worldButtons.clear();

    std::error_code ec;
    if (!std::filesystem::is_directory(worldsRoot, ec)) std::filesystem::create_directories(worldsRoot, ec);
    for (worlds::ListedWorld& world : worlds::listWorlds(worldsRoot)) {
        worldPaths.push_back(world.folder.string());
        gui::Button& button = worldButtons.emplace_back();
        const int y = 60 * int(worldButtons.size()) - 50;
        menu::setUpButton(button, world.name, 0, 50, menu::Place{menu::centred, menu::top, 0, y},
                          onSelectWorld, nullptr);
    }
    // Only now, with both vectors complete, are the addresses of their entries settled.
    for (size_t i = 0; i < worldButtons.size(); ++i) {
        worldButtons[i].userData = &worldPaths[i];
        worldBox.addElement(&worldButtons[i]);
    }
    if (worldBox.isEmpty()) {
        menu::setUpText(emptyText, "There are no worlds to load...", 2, menu::Place{},
                        glm::vec4(1, 0, 0, 1));
        worldBox.addElement(&emptyText);
    }
}

void SinglePlayerState::layout(int width, int height) {
    worldBox.width = width / 2;
    worldBox.height = height - 250;
    for (gui::Button& button : worldButtons) {
        button.width = width / 2 - 20;
        button.height = 50;
    }
    worldBox.overflowY = std::max(60 * int(worldButtons.size()) + 10 - (height - 250), 0);
    worldBox.scrollY = std::clamp(worldBox.scrollY, -worldBox.overflowY, 0);
}

void SinglePlayerState::close(StateManager&) {
    interface.clearElements();
    worldBox.clearElements();
}

void SinglePlayerState::update(StateManager& s) {
    if (glfwWindowShouldClose(s.window)) {
        // Closing wins over a world chosen in the same tick: the program ends, no game starts.
        worldChosen = false;
        s.popState();
        return;
    }
    if (!worldChosen) {
        titleState.update(s);
        return;
    }
    worldChosen = false;
    // The world list and the title screen below it.
    startGame(s, 2);
}

void SinglePlayerState::resume(StateManager& s) {
    int width, height;
    screen::windowSize(s.window, width, height);
    windowResize(s, width, height);
}

void SinglePlayerState::windowResize(StateManager&, int width, int height) {
    updateProjection(width, height);
    layout(width, height);
}

void SinglePlayerState::onSelectWorld(void* folderPath) {
    gameState.world.setPath(*static_cast<const std::string*>(folderPath));
    singlePlayerState.worldChosen = true;
}
