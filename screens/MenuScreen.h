#pragma once

#include "engine/BitmapText.h"
#include "engine/SolidQuad.h"
#include "engine/State.h"
#include "gui/Interface.h"

#include <glm/vec2.hpp>

struct GLFWwindow;
struct Shader;

// What the menu screens share: their text and quad renderers, the pixel projection of the text
// and quad shaders, pages of widgets drawn with those renderers, input forwarded to the page on
// show, and Escape to leave.
class MenuScreen : public State {
public:
    BitmapText text;
    SolidQuad quad;
    Shader* quadShader = nullptr;

    void pause(StateManager&) override {}
    void cursorPos(StateManager& s, double x, double y) override;
    void scroll(StateManager& s, double dx, double dy) override;
    void mouseButton(StateManager& s, int button, int action, int mods) override;
    // A press of Escape leaves (see escape); every other key goes to the page on show.
    void keyInput(StateManager& s, int key, int scancode, int action, int mods) override;
    // A typed character goes to the selected widget of the page on show.
    void charInput(StateManager& s, unsigned codePoint) override;

    // The pixel projection "P" of the text and quad shaders for a width x height window, or a
    // part of one, in which a point p lands at p + offset.
    void setGuiProjection(int width, int height, glm::ivec2 offset = {0, 0});

    // Frees the GL objects; called before the context goes away.
    void releaseGl();

protected:
    // The page that is drawn and takes the input.
    virtual gui::Interface& shownPage() = 0;
    // Escape was pressed: the screen leaves.
    virtual void escape(StateManager& s);
    // The start every menu makes: the quad shader, both renderers, and the projection for the
    // whole window.
    void initRenderers(StateManager& s);
    // Empties a page and gives it this screen's renderers and the window. On a clipping page,
    // content boxes draw into their own part of the window.
    void setUpPage(gui::Interface& page, GLFWwindow* window, bool clipping);
};

// The pause, death and settings screens stand above the game or the title screen: when the
// window is asked to close they leave together with the screen below, which then closes too.
// True when it did.
bool leaveWithScreenBelowOnClose(StateManager& s);
