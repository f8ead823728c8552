#pragma once

#include "engine/BitmapText.h"
#include "engine/SolidQuad.h"
#include "engine/State.h"
#include "gui/Interface.h"

#include <glm/vec2.hpp>

struct GLFWwindow;
struct Shader;

// A menu drawn over the title screen's turning world, dimmed: the world list and world
// creation. They share the drawing, the projections and the input forwarding; Escape pops the
// menu. The title screen stays below them, and they run its tick from their own.
class BackdropMenu : public State {
public:
    // Set when a widget drew into part of the window; render then restores the whole window.
    bool projectionDirty = false;
    BitmapText text;
    SolidQuad quad;
    Shader* quadShader = nullptr;
    gui::Interface interface;

    void render(StateManager& s) override;
    void pause(StateManager&) override {}
    void cursorPos(StateManager& s, double x, double y) override;
    void scroll(StateManager& s, double dx, double dy) override;
    void mouseButton(StateManager& s, int button, int action, int mods) override;
    void keyInput(StateManager& s, int key, int scancode, int action, int mods) override;
    void charInput(StateManager& s, unsigned codePoint) override;

    // The block shader's perspective for the world behind (70 degrees) and the 2D projection of
    // the text and quad shaders, moved by offset, for a width x height window or part of one.
    void updateProjection(int width, int height, glm::ivec2 offset = {0, 0});

    // Frees the GL objects; called before the context goes away.
    void releaseGl();

protected:
    // The start every such menu makes: projections, renderers and an empty interface.
    void initMenu(StateManager& s);

private:
    // The interface's viewport callback; its user data is the menu.
    static void onViewport(void* menu, const gui::Rect& rect, glm::ivec2 offset);
};
