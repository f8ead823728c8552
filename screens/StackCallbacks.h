#pragma once

class State;
struct StateManager;

// Pops `leaving` screens and starts the game screen with its loading screen above it.
void startGame(StateManager& s, int leaving);

// The state-stack callbacks of the menu buttons. Each takes the StateManager as its user data.

// Pops the top state ("Cancel", "quit game", "back to game...").
void popStateCallback(void* manager);
// Pops two states (a menu and the game screen beneath it, which saves) and starts the title
// screen.
void quitToTitle(void* manager);
// Pops the death screen (the player comes back) and the game screen (which saves), then
// starts the same world again with its loading screen ("Retry...").
void onRetry(void* manager);
// Pushes the settings screen.
void pushSettingsState(void* manager);
// Pushes the credits.
void pushCreditsState(void* manager);
// Pushes the tutorial's slideshow.
void pushTutorialState(void* manager);

// The settings screen, the credits and the tutorial, set by linkScreens. A button whose screen
// is not there does nothing.
extern State* settingsScreen;
extern State* creditsScreen;
extern State* tutorialScreen;
