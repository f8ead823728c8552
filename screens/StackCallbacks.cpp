#include "screens/StackCallbacks.h"

#include "engine/StateManager.h"
#include "game/GameState.h"
#include "screens/TitleState.h"
#include "screens/WorldGenState.h"

State* settingsScreen = nullptr;
State* creditsScreen = nullptr;
State* tutorialScreen = nullptr;

namespace {

StateManager& managerOf(void* manager) { return *static_cast<StateManager*>(manager); }

void pushIfThere(void* manager, State* screen) {
    if (screen) managerOf(manager).pushState(screen);
}

}  // namespace

void startGame(StateManager& s, int leaving) {
    for (int i = 0; i < leaving; ++i) s.popState();
    s.pushState(&gameState);
    s.pushState(&worldGenState);
}

void popStateCallback(void* manager) { managerOf(manager).popState(); }

void quitToTitle(void* manager) {
    StateManager& s = managerOf(manager);
    s.popState();
    s.popState();
    s.pushState(&titleState);
}

void onRetry(void* manager) { startGame(managerOf(manager), 2); }

void pushSettingsState(void* manager) { pushIfThere(manager, settingsScreen); }

void pushCreditsState(void* manager) { pushIfThere(manager, creditsScreen); }

void pushTutorialState(void* manager) { pushIfThere(manager, tutorialScreen); }
