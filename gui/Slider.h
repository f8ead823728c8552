#pragma once

#include "gui/Element.h"

#include <string>

namespace gui {

// An integer from 0 to max, dragged with the mouse or stepped with A/D and the arrow keys.
// A drag reports its value once, at the release; a key step reports at once.
class Slider : public PlacedElement {
public:
    static constexpr int height = 50;

    std::string label;  // the owner rewrites it to show the value
    bool dragging = false;
    bool selected = false;
    int max = 100;
    int width = 300;
    int value = 0;
    void* userData = nullptr;
    void (*callback)(void* userData, int value) = nullptr;

    void render(Window& window) override;
    void getPos(Window& window, int& px, int& py) override;
    void getSize(Window& window, int& w, int& h) override;
    void cursorPos(Window& window, double cx, double cy) override;
    bool mouseButton(Window& window, int button, int action, int mods) override;
    bool keyInput(Window& window, int key, int scancode, int action, int mods) override;
    bool canSelect() override { return true; }
    void select() override { selected = true; }
    void deselect() override {
        dragging = false;
        selected = false;
    }

private:
    // The callback may destroy this slider, so it runs last.
    void report() {
        if (callback) callback(userData, value);
    }
};

}  // namespace gui
