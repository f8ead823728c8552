#pragma once

// A desktop without a window for widget tests: a cursor, a window size, a clipboard and a clock
// that the test sets by hand, plus text metrics from a BitmapText that never touches GL.

#include "engine/BitmapText.h"
#include "engine/SolidQuad.h"
#include "gui/Adapters.h"
#include "gui/Button.h"
#include "gui/Element.h"
#include "gui/Interface.h"

#include <GLFW/glfw3.h>
#include <glm/gtx/string_cast.hpp>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Readable failure messages for vectors and rectangles.
namespace glm {
template <length_t L, typename T, qualifier Q>
void PrintTo(const vec<L, T, Q>& v, std::ostream* os) { *os << to_string(v); }
}  // namespace glm
namespace gui {
inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << '{' << r.x << ", " << r.y << ", " << r.width << ", " << r.height << '}';
}
}  // namespace gui

namespace guitest {

using Request = std::pair<gui::Rect, glm::ivec2>;  // a viewport request: rectangle and offset

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
    std::vector<Request> viewports;

    void getCursorPos(double& x, double& y) override { x = cursorX, y = cursorY; }
    void getWindowSize(int& w, int& h) override { w = width, h = height; }
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

    // Gives the interface its own desktop again, as a screen that outlives this one needs.
    void detach(gui::Interface& ui) {
        ui.cursorSource = nullptr;
        ui.sizeSource = nullptr;
        ui.clipboard = nullptr;
        ui.clock = nullptr;
        ui.textRenderer = nullptr;
        ui.quadRenderer = nullptr;
        ui.viewportUserData = nullptr;
        ui.viewportCallback = nullptr;
    }

    // Moves the cursor and tells the interface, as the screen's cursor callback would.
    void moveTo(gui::Interface& ui, double x, double y) {
        cursorX = x;
        cursorY = y;
        ui.cursorPos(x, y);
    }
    bool press(gui::Interface& ui) { return ui.mouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0); }
    bool release(gui::Interface& ui) {
        return ui.mouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    }
    void click(gui::Interface& ui, double x, double y) {
        moveTo(ui, x, y);
        press(ui);
        release(ui);
    }
};

// An interface wired to a fake desktop of 800 x 600.
class GuiTest : public ::testing::Test {
protected:
    GuiTest() { desktop.attach(ui); }
    FakeDesktop desktop;
    gui::Interface ui;
};

inline bool pressKey(gui::Interface& ui, int key, int mods = 0) {
    return ui.keyInput(key, 0, GLFW_PRESS, mods);
}

// Types a string the way a screen does: characters go to the selected element.
inline void typeText(gui::Interface& ui, const std::string& s) {
    for (unsigned char ch : s)
        if (gui::Element* e = ui.selectedElement()) e->charInput(ui, ch);
}

inline glm::ivec2 posOf(gui::Element& e, gui::Window& window) {
    glm::ivec2 p;
    e.getPos(window, p.x, p.y);
    return p;
}
inline glm::ivec2 sizeOf(gui::Element& e, gui::Window& window) {
    glm::ivec2 s;
    e.getSize(window, s.x, s.y);
    return s;
}

inline void countClicks(gui::Button& button, int& clicks) {
    button.userData = &clicks;
    button.callback = [](void* n) { ++*static_cast<int*>(n); };
}

// A 10 x 10 widget in the top-left corner that records what reaches it and answers as told.
class Probe : public gui::Element {
public:
    bool selectable = true, selected = false;
    bool consumeButtons = false, consumeScroll = false, consumeKeys = false;
    int buttonEvents = 0, scrollEvents = 0, keyEvents = 0, renders = 0, selects = 0;
    glm::dvec2 lastCursor{0, 0};
    std::function<void()> onEvent;                // runs on every button and key event
    std::function<void(gui::Window&)> onRender;  // e.g. a viewport request, as a nested box makes

    void render(gui::Window& w) override {
        ++renders;
        if (onRender) onRender(w);
    }
    void setAlignX(int) override {}
    void setAlignY(int) override {}
    void setX(int) override {}
    void setY(int) override {}
    void getPos(gui::Window&, int& x, int& y) override { x = y = 0; }
    void getSize(gui::Window&, int& w, int& h) override { w = h = 10; }
    void cursorPos(gui::Window&, double x, double y) override { lastCursor = {x, y}; }
    bool scroll(gui::Window&, double, double) override {
        ++scrollEvents;
        return consumeScroll;
    }
    bool mouseButton(gui::Window&, int, int, int) override {
        return event(buttonEvents, consumeButtons);
    }
    bool keyInput(gui::Window&, int, int, int, int) override {
        return event(keyEvents, consumeKeys);
    }
    bool canSelect() override { return selectable; }
    void select() override { selected = true, ++selects; }
    void deselect() override { selected = false; }

private:
    // The hook may clear the list this probe is in.
    bool event(int& counter, bool consume) {
        ++counter;
        if (onEvent) onEvent();
        return consume;
    }
};

}  // namespace guitest
