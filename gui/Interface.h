#pragma once

#include "gui/ElementList.h"
#include "gui/GlfwAdapters.h"
#include "gui/Window.h"

namespace gui {

// Sets the GL viewport and the 2D projections for a rectangle of the screen (see Viewport.h).
using ViewportCallback = void (*)(void* userData, const Rect& rect, glm::ivec2 offset);

// The root container of a screen: the screen forwards its events here and the interface routes
// them to the widgets. It owns nothing but the GLFW adapters it falls back on.
// A screen sets quadRenderer and textRenderer (its own), window, viewportCallback =
// glfwViewportCallback (Viewport.h) and viewportUserData = window; typed characters it passes to
// selectedElement()->charInput itself.
class Interface : public Window, public ElementList {
public:
    SolidQuad* quadRenderer = nullptr;
    BitmapText* textRenderer = nullptr;
    GLFWwindow* window = nullptr;
    ViewportCallback viewportCallback = nullptr;
    void* viewportUserData = nullptr;  // screens pass their GLFW window
    bool viewportChanged = false;

    // Desktop adapters; each one left null means the GLFW one of `window`.
    CursorSource* cursorSource = nullptr;
    SizeSource* sizeSource = nullptr;
    Clipboard* clipboard = nullptr;
    Clock* clock = nullptr;

    SolidQuad* getQuadRenderer() override { return quadRenderer; }
    BitmapText* getTextRenderer() override { return textRenderer; }
    GLFWwindow* getGLFWwindow() override { return window; }
    void getCursorPos(int& x, int& y) override;
    void getWindowSize(int& width, int& height) override;
    void setViewport(const Rect& rect, glm::ivec2 offset) override;
    Clipboard* getClipboard() override;
    Clock* getClock() override;

    void render();
    void cursorPos(double x, double y);
    bool scroll(double dx, double dy);
    bool mouseButton(int button, int action, int mods);
    bool keyInput(int key, int scancode, int action, int mods);

private:
    GlfwAdapters glfwAdapters;
    GlfwAdapters& glfw();
    // The next selectable index from selectedIndex, wrapping; -1 when there is none.
    int nextSelectable(bool backward) const;
};

}  // namespace gui
