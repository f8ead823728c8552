#pragma once

#include "gui/Element.h"

#include <string>

namespace gui {

// A labelled push button. It fires on the release of a click that started on it, or on Enter
// while selected.
class Button : public PlacedElement {
public:
    std::string label;
    bool enabled = true;
    bool pressed = false;
    bool selected = false;
    int width = 100, height = 50;
    void* userData = nullptr;
    void (*callback)(void* userData) = nullptr;

    void render(Window& window) override;
    void getPos(Window& window, int& px, int& py) override;
    void getSize(Window& window, int& w, int& h) override;
    bool mouseButton(Window& window, int button, int action, int mods) override;
    bool keyInput(Window& window, int key, int scancode, int action, int mods) override;
    bool canSelect() override { return enabled; }
    void select() override { selected = true; }
    void deselect() override {
        pressed = false;
        selected = false;
    }

private:
    bool cursorInside(Window& window);
    // The callback may destroy this button (a screen rebuilding its widgets), so it runs last.
    void fire();
};

}  // namespace gui
