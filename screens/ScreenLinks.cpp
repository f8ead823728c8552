#include "screens/ScreenLinks.h"

#include "game/GameState.h"
#include "screens/SettingsState.h"
#include "screens/StackCallbacks.h"
#include "tutorial/TutorialSlideshowState.h"

namespace {

void loadStoredSettings(GLFWwindow* window) { settingsState.loadSettings(window); }

}  // namespace

void linkScreens() {
    gameState.settingsLoader = loadStoredSettings;
    tutorialScreen = &tutorialSlideshowState;
}
