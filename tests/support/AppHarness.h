#pragma once

#include "engine/GlSetup.h"
#include "engine/MainLoop.h"
#include "engine/StateManager.h"

#include <glm/vec2.hpp>
#include <glm/vec4.hpp>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

class State;
namespace gui {
class Button;
class ContentBox;
class Element;
class Window;
}  // namespace gui

// Drives the whole game from start-up as main does: the game's window (1024 x 768, multisampled)
// with its GL state and its real input callbacks, the screens linked, the intro pushed, and the
// main loop's passes run one tick each. Input goes through the callbacks GLFW calls, delivered
// at the next tick's event poll. Frames stay in the window's back buffer to be read. The worlds,
// the settings file and the title screen's world live in a temporary directory. The window is
// shown and focused, so that the cursor can be placed where the menus read it: a test program
// with this harness needs a display of its own.
namespace testapp {

// An RGBA image, rows from the top.
struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;

    glm::u8vec4 at(int x, int y) const;
};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};
void PrintTo(const Rect& r, std::ostream* os);

class AppHarness {
public:
    static constexpr int width = glsetup::windowWidth;
    static constexpr int height = glsetup::windowHeight;

    StateManager manager;
    std::filesystem::path root;  // worlds/, settings.json and the title screen's world
    // Frames that ended with depth writes off: the depth clear of the next one clears nothing.
    int framesLeavingDepthWritesOff = 0;

    AppHarness();
    // Empties the stack, points the screens back at their usual files and removes the root.
    ~AppHarness();
    AppHarness(const AppHarness&) = delete;
    AppHarness& operator=(const AppHarness&) = delete;

    // The window at the game's size, its focus and every shader are there.
    bool ready() const { return ready_; }
    State* top() const;

    // Pushes the intro, as main does at start-up.
    void start();
    // One pass of the main loop: one tick (events first), then a frame.
    void frame();
    // A pass that comes before a tick is due: a frame only.
    void frameWithoutTick();
    // Frames until `done` holds (checked after each) or `seconds` of real time have passed.
    bool runUntil(const std::function<bool()>& done, double seconds = 180.0);

    // Input for the next tick.
    void moveCursor(int x, int y);
    void click(int x, int y);
    // A click in the middle of an area.
    void clickOn(const Rect& area) { click(area.x + area.width / 2, area.y + area.height / 2); }
    // A click there, then frames until `screen` is on top.
    bool clickInto(const Rect& area, const State* screen, double seconds = 10.0) {
        clickOn(area);
        return runUntil([&] { return top() == screen; }, seconds);
    }
    // Presses the left button at one point, moves with it held and lets go at another.
    void drag(int fromX, int fromY, int toX, int toY);
    // Turns the mouse wheel by dy notches (negative: towards the user) where the cursor is.
    void wheel(double dy);
    void key(int key, int mods = 0);  // press and release
    void holdKey(int key, bool down);
    void type(const std::string& text);
    void requestClose();

    // The last frame, and its saving as build/screenshots/<name>.png, opaque.
    Image image() const;
    std::string screenshot(const std::string& name) const;

private:
    bool ready_ = false;
    std::deque<std::function<void()>> pendingInput;
    double clock = 0.0;
    LoopDriver driver;
    LoopTimer timer;

    void deliverInput();
};

// Where a widget lies in its window, and a widget inside a content box, in window pixels.
Rect rectOf(gui::Element& element, gui::Window& window);
Rect rectInBox(gui::Element& element, gui::ContentBox& box, gui::Window& window);

// Whether `text`, drawn in our bitmap font at `scale`, appears anywhere inside `area`: every lit
// pixel of its glyphs is `ink` and nearly every unlit one is not.
bool containsText(const Image& image, Rect area, const std::string& text, int scale,
                  const std::function<bool(glm::u8vec4)>& ink);
// Each button stands at its place in the window, and its label reads there. The buttons' own
// positions count from `origin`, the corner of the box they are in.
void expectButtonsAt(const Image& image, gui::Window& window,
                     std::initializer_list<std::pair<gui::Button*, Rect>> buttons, glm::ivec2 origin = {0, 0});

// The share of an image file's opaque texels that show in their own colour where the image, or
// the part of it at `texels` (when given), is drawn over `area`, scaled to its size.
float pictureShown(const Image& image, const std::string& file, Rect area, Rect texels = {});

// Ink predicates for white and for pure red text.
bool whiteInk(glm::u8vec4 pixel);
bool redInk(glm::u8vec4 pixel);

}  // namespace testapp
