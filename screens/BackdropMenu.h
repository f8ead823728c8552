#pragma once

#include "gui/Interface.h"
#include "screens/MenuScreen.h"

#include <glm/vec2.hpp>

// A menu drawn over the title screen's turning world, dimmed: the world list and world
// creation. They share the drawing and the projections; Escape pops the menu. The title screen
// stays below them, and they run its tick from their own.
class BackdropMenu : public MenuScreen {
public:
    gui::Interface interface;

    void render(StateManager& s) override;

    // The block shader's perspective for the world behind (70 degrees) and the 2D projection of
    // the text and quad shaders, moved by offset, for a width x height window or part of one.
    void updateProjection(int width, int height, glm::ivec2 offset = {0, 0});

protected:
    gui::Interface& shownPage() override { return interface; }
    // The start every such menu makes: projections, renderers and an empty interface.
    void initMenu(StateManager& s);
};
