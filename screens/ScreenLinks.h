#pragma once

// Connects the screens that open one another across folders: the game screen loads the stored
// settings through the settings screen, the title screen opens the tutorial. main calls it once
// before the first screen starts.
void linkScreens();
