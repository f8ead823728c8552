#include "screens/ScreenLinks.h"

#include "game/GameState.h"
#include "screens/CreditsState.h"
#include "screens/DeathScreenState.h"
#include "screens/PauseState.h"
#include "screens/SettingsState.h"
#include "screens/StackCallbacks.h"
#include "tutorial/TutorialSlideshowState.h"

namespace {

void loadStoredSettings(GLFWwindow* window) { settingsState.loadSettings(window); }

}  // namespace

void linkScreens() {
    gameState.settingsLoader = loadStoredSettings;
    gameState.pauseScreen = &pauseState;
    gameState.deathScreen = &deathScreenState;
    settingsScreen = &settingsState;
    creditsScreen = &creditsState;
    tutorialScreen = &tutorialSlideshowState;
}
