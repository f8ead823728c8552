#pragma once

// Connects the screens that open one another across folders: the game screen opens the pause and
// death screens and loads the stored settings through the settings screen; the title screen's
// "settings", "credits" and "tutorial" buttons, and the pause screen's "settings", open those
// screens. main calls it once before the first screen starts.
void linkScreens();
