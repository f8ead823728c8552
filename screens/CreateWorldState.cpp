#include "screens/CreateWorldState.h"

#include "engine/StateManager.h"
#include "game/GameState.h"
#include "screens/MenuWidgets.h"
#include "screens/ScreenBasics.h"
#include "screens/StackCallbacks.h"
#include "screens/TitleState.h"
#include "screens/WorldFolders.h"

#include <GLFW/glfw3.h>

#include <algorithm>

CreateWorldState createWorldState;

void CreateWorldState::init(StateManager& s) {
    initMenu(s);
    using menu::Place;
    menu::setUpButton(createButton, "Create New World!", 300, 50, Place{menu::centred, menu::bottom, 0, -50},
                      onCreate, &s);
    menu::setUpButton(cancelButton, "Cancel", 120, 50, Place{menu::left, menu::bottom, 50, -50},
                      popStateCallback, &s);
    menu::setUpText(nameLabel, "World Name:", 2, Place{menu::centred, menu::centred, 0, -150});
    menu::setUpText(seedLabel, "World Seed:", 2, Place{menu::centred, menu::centred, 0, 0},
                    glm::vec4(0.5f, 0.5f, 0.5f, 0.5f));

    nameInput = gui::TextInput{};
    nameInput.text = "New World";
    nameInput.cursor = nameInput.anchor = int(nameInput.text.size());
    nameInput.textOffset = 4;
    nameInput.width = 300;
    nameInput.height = 50;
    menu::place(nameInput, Place{menu::centred, menu::centred, 0, -100});

    for (gui::Element* element : std::initializer_list<gui::Element*>{
             &nameLabel, &seedLabel, &nameInput, &cancelButton, &createButton})
        interface.addElement(element);
    interface.selectElement(&nameInput);
}

void CreateWorldState::close(StateManager&) { interface.clearElements(); }

void CreateWorldState::update(StateManager& s) {
    if (glfwWindowShouldClose(s.window)) s.popState();
    titleState.update(s);
}

void CreateWorldState::resume(StateManager& s) {
    int width, height;
    screen::windowSize(s.window, width, height);
    updateProjection(width, height);
}

void CreateWorldState::windowResize(StateManager&, int width, int height) {
    updateProjection(width, height);
}

void CreateWorldState::showError(const std::string& message) {
    menu::setUpText(errorText, message, 2, menu::Place{menu::centred, menu::centred, 0, -200},
                    glm::vec4(1, 0, 0, 1));
    const auto& shown = interface.elements;
    if (std::find(shown.begin(), shown.end(), &errorText) == shown.end())
        interface.addElement(&errorText);
}

bool CreateWorldState::createWorld() {
    const std::string name = nameInput.text;
    if (name.empty()) {
        showError(noNameMessage);
        return false;
    }
    std::optional<std::filesystem::path> folder = worlds::createWorldFolder(worldsRoot, name);
    if (!folder) {
        showError(failureMessage);
        return false;
    }
    gameState.world.setPath(folder->string());
    return true;
}

void CreateWorldState::onCreate(void* manager) {
    if (!createWorldState.createWorld()) return;
    // This screen, the world list and the title screen, all at once, from inside the click.
    startGame(*static_cast<StateManager*>(manager), 3);
}
