#include "screens/ScreenLinks.h"

#include "game/GameState.h"
#include "screens/SettingsState.h"

namespace {

void loadStoredSettings(GLFWwindow* window) { settingsState.loadSettings(window); }

}  // namespace

void linkScreens() { gameState.settingsLoader = loadStoredSettings; }
