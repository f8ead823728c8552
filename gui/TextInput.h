#pragma once

#include "gui/Element.h"

#include <string>

namespace gui {

// A one-line text field with a caret, a selection and the clipboard. Only printable ASCII goes
// in, since the bitmap font has nothing else.
class TextInput : public PlacedElement {
public:
    std::string text;
    bool dragging = false;
    bool selected = false;
    bool hasSelection = false;
    int cursor = 0, anchor = 0;  // character indices; the selection lies between them
    int height = 50, width = 300;
    int textOffset = 4;  // x of the first character from the box's left edge, at most 4
    double clickTime = 0;
    double typeTime = -1e9;
    int typedIndex = -1;  // the character typed at typeTime, which flickers for a moment

    void render(Window& window) override;
    void getPos(Window& window, int& px, int& py) override;
    void getSize(Window& window, int& w, int& h) override;
    void cursorPos(Window& window, double cx, double cy) override;
    bool mouseButton(Window& window, int button, int action, int mods) override;
    bool keyInput(Window& window, int key, int scancode, int action, int mods) override;
    bool charInput(Window& window, unsigned codePoint) override;
    bool canSelect() override { return true; }
    void select() override { selected = true; }
    void deselect() override {
        anchor = cursor;
        selected = false;
        dragging = false;
    }

    bool selectionActive() const { return hasSelection && cursor != anchor; }
    std::string selectedText() const;

private:
    int length() const { return static_cast<int>(text.size()); }
    int caretIndexAt(Window& window, double cursorX);
    void keepCaretVisible(int charWidth);
    // Erases the selection and returns how many characters went.
    int deleteSelection();
    // Deleted text scrolls the rest back right, never beyond the left margin.
    void scrollBack(int deletedChars, int charWidth);
    void insert(const std::string& s);
    bool moveCaret(int step, bool extend);
};

// Keeps the bytes 32 to 126 of a UTF-8 text and drops every multi-byte sequence whole.
// Null reads as "".
std::string printableAscii(const char* utf8);

}  // namespace gui
