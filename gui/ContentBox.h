#pragma once

#include "gui/Element.h"
#include "gui/ElementList.h"
#include "gui/Window.h"

namespace gui {

// A scrollable panel: a widget in its parent window, and itself the window and container of its
// children, which it clips to its rectangle through the viewport. Children live in content
// coordinates: the box's top-left at scroll (0, 0).
class ContentBox : public PlacedElement, public Window, public ElementList {
public:
    static constexpr int barThickness = 15;
    static constexpr int barGrabWidth = 17;  // strip along an edge that grabs the bar

    Window* parent = nullptr;  // set by the owner
    bool selected = false;
    int width = 300, height = 300;
    int scrollX = 0, scrollY = 0;        // 0 or negative
    int overflowX = 0, overflowY = 0;    // how far the content reaches beyond the box; 0 = no bar
    bool draggingX = false, draggingY = false;
    int grabOffset = 0;
    int scrollSpeed = 30;  // pixels per wheel step
    bool viewportChanged = false;

    // Element
    void render(Window& window) override;
    void getPos(Window& window, int& px, int& py) override;
    void getSize(Window& window, int& w, int& h) override;
    void cursorPos(Window& window, double cx, double cy) override;
    bool scroll(Window& window, double dx, double dy) override;
    bool mouseButton(Window& window, int button, int action, int mods) override;
    bool keyInput(Window& window, int key, int scancode, int action, int mods) override;
    // Typing goes on to the selected child, so a text input inside a box takes it.
    bool charInput(Window& window, unsigned codePoint) override;
    bool canSelect() override { return true; }
    void select() override;
    void deselect() override;

    // Window, as the children see it
    SolidQuad* getQuadRenderer() override { return parent->getQuadRenderer(); }
    BitmapText* getTextRenderer() override { return parent->getTextRenderer(); }
    GLFWwindow* getGLFWwindow() override { return parent->getGLFWwindow(); }
    void getCursorPos(int& cx, int& cy) override;
    void getWindowSize(int& w, int& h) override;
    void setViewport(const Rect& rect, glm::ivec2 offset) override;
    Clipboard* getClipboard() override { return parent->getClipboard(); }
    Clock* getClock() override { return parent->getClock(); }

    // Asks the parent for the box's own rectangle, with the scroll as offset when withScroll.
    void setContentViewport(bool withScroll);

    // One scroll bar: where its track starts and how long it is, its thumb, in box pixels.
    struct Bar {
        float length = 0;       // L
        float thumbLength = 0;  // T
        float thumbPos = 0;     // from the box's edge
    };
    Bar horizontalBar() const;
    Bar verticalBar() const;

private:
    bool cursorOver(Window& window, int& localX, int& localY);
    static int scrollForThumb(float thumbPos, const Bar& bar, int overflow);
};

}  // namespace gui
