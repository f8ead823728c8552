#pragma once

#include "gui/Button.h"
#include "gui/Text.h"
#include "gui/TextInput.h"
#include "screens/BackdropMenu.h"

#include <filesystem>
#include <string>

// Making a new world, over the title screen's turning world: a name field, "Create New World!"
// and "Cancel". Creating makes the world's folder under the worlds root, points the game's world
// at it and starts the game; when that fails a red line says so and the screen stays.
class CreateWorldState : public BackdropMenu {
public:
    static constexpr const char* noNameMessage = "You cannot create a world without a name";
    static constexpr const char* failureMessage = "Unable to create the world's folder";

    gui::Button createButton;
    gui::Button cancelButton;
    gui::Text nameLabel;
    gui::Text seedLabel;
    gui::Text errorText;
    gui::TextInput nameInput;
    // Where the worlds are; tests point it at a temporary directory.
    std::filesystem::path worldsRoot = "worlds";

    void init(StateManager& s) override;
    void close(StateManager& s) override;
    void update(StateManager& s) override;
    void resume(StateManager& s) override;
    void windowResize(StateManager& s, int width, int height) override;

    // Makes the world named in the field and points the game's world at it; false, with the
    // red message shown, when the name is empty or the folder could not be made.
    bool createWorld();
    // "Create New World!": on success this screen, the world list and the title screen leave
    // and the game starts with its loading screen.
    static void onCreate(void* manager);

private:
    void showError(const std::string& message);
};

extern CreateWorldState createWorldState;
