#pragma once

// A desktop without a window for widget tests: a cursor, a window size, a clipboard and a clock
// that the test sets by hand, plus text metrics from a BitmapText that never touches GL.

#include "engine/BitmapText.h"
#include "engine/SolidQuad.h"
#include "gui/Adapters.h"
#include "gui/Element.h"
#include "gui/Interface.h"

#include <GLFW/glfw3.h>

#include <optional>
#include <string>
#include <vector>

namespace guitest {

class FakeDesktop : public gui::CursorSource,
                    public gui::SizeSource,
                    public gui::Clipboard,
                    public gui::Clock {
public:
    double cursorX = 0, cursorY = 0;
    int width = 800, height = 600;
    std::optional<std::string> clipboardText;  // empty optional: nothing on the clipboard
    double time = 0;
    BitmapText font;  // 8 x 8 cells; default-constructed, so no GL objects
    SolidQuad quad;   // never initialised: drawing through it makes no GL call
    std::vector<std::pair<gui::Rect, glm::ivec2>> viewports;

    void getCursorPos(double& x, double& y) override {
        x = cursorX;
        y = cursorY;
    }
    void getWindowSize(int& w, int& h) override {
        w = width;
        h = height;
    }
    const char* getString() override { return clipboardText ? clipboardText->c_str() : nullptr; }
    void setString(const std::string& text) override { clipboardText = text; }
    double now() override { return time; }

    // Wires an interface to this desktop; viewport requests are recorded in `viewports`.
    void attach(gui::Interface& ui) {
        ui.cursorSource = this;
        ui.sizeSource = this;
        ui.clipboard = this;
        ui.clock = this;
        ui.textRenderer = &font;
        ui.quadRenderer = &quad;
        ui.viewportUserData = this;
        ui.viewportCallback = [](void* self, const gui::Rect& rect, glm::ivec2 offset) {
            static_cast<FakeDesktop*>(self)->viewports.emplace_back(rect, offset);
        };
    }

    // Moves the cursor and tells the interface, as the screen's cursor callback would.
    void moveTo(gui::Interface& ui, double x, double y) {
        cursorX = x;
        cursorY = y;
        ui.cursorPos(x, y);
    }
    bool press(gui::Interface& ui, int button = GLFW_MOUSE_BUTTON_LEFT) {
        return ui.mouseButton(button, GLFW_PRESS, 0);
    }
    bool release(gui::Interface& ui, int button = GLFW_MOUSE_BUTTON_LEFT) {
        return ui.mouseButton(button, GLFW_RELEASE, 0);
    }
    // Press and release at (x, y).
    void click(gui::Interface& ui, double x, double y) {
        moveTo(ui, x, y);
        press(ui);
        release(ui);
    }
};

inline bool pressKey(gui::Interface& ui, int key, int mods = 0) {
    return ui.keyInput(key, 0, GLFW_PRESS, mods);
}

// Types a string the way a screen does: characters go to the selected element.
inline void typeText(gui::Interface& ui, const std::string& s) {
    for (char ch : s)
        if (gui::Element* e = ui.selectedElement()) e->charInput(ui, static_cast<unsigned char>(ch));
}

// A widget that records what reaches it and answers as it is told.
class Probe : public gui::Element {
public:
    int x = 0, y = 0, alignX = 0, alignY = 0, width = 10, height = 10;
    bool selectable = true;
    bool consumeButtons = false, consumeScroll = false, consumeKeys = false;
    bool selected = false;
    int buttonEvents = 0, scrollEvents = 0, keyEvents = 0, cursorEvents = 0, renders = 0;
    int selects = 0, deselects = 0;
    double lastCursorX = 0, lastCursorY = 0;
    void (*onEvent)(void* userData) = nullptr;  // runs on every button and key event
    void* userData = nullptr;

    void render(gui::Window&) override { ++renders; }
    void setAlignX(int a) override { alignX = a; }
    void setAlignY(int a) override { alignY = a; }
    void setX(int v) override { x = v; }
    void setY(int v) override { y = v; }
    void getPos(gui::Window& w, int& px, int& py) override {
        int ww, wh;
        w.getWindowSize(ww, wh);
        px = gui::alignedPos(alignX, ww, width, x);
        py = gui::alignedPos(alignY, wh, height, y);
    }
    void getSize(gui::Window&, int& w, int& h) override {
        w = width;
        h = height;
    }
    void cursorPos(gui::Window&, double cx, double cy) override {
        ++cursorEvents;
        lastCursorX = cx;
        lastCursorY = cy;
    }
    bool scroll(gui::Window&, double, double) override {
        ++scrollEvents;
        return consumeScroll;
    }
    bool mouseButton(gui::Window&, int, int, int) override {
        ++buttonEvents;
        const bool result = consumeButtons;
        if (onEvent) onEvent(userData);
        return result;
    }
    bool keyInput(gui::Window&, int, int, int, int) override {
        ++keyEvents;
        const bool result = consumeKeys;
        if (onEvent) onEvent(userData);
        return result;
    }
    bool canSelect() override { return selectable; }
    void select() override {
        selected = true;
        ++selects;
    }
    void deselect() override {
        selected = false;
        ++deselects;
    }
};

}  // namespace guitest
