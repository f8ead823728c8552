#include "gui/TextInput.h"

#include "engine/BitmapText.h"
#include "engine/SolidQuad.h"
#include "gui/Adapters.h"
#include "gui/Paint.h"
#include "gui/Window.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <string_view>

namespace gui {

namespace {
constexpr unsigned textScale = 2;
constexpr int caretMargin = 4;
constexpr double typedFlashSeconds = 0.2;

int charWidthOf(Window& window) {
    const BitmapText* renderer = window.getTextRenderer();
    return static_cast<int>((renderer ? renderer->charWidth : 8) * textScale);
}

int charHeightOf(Window& window) {
    const BitmapText* renderer = window.getTextRenderer();
    return static_cast<int>((renderer ? renderer->charHeight : 8) * textScale);
}

double now(Window& window) {
    Clock* clock = window.getClock();
    return clock ? clock->now() : 0.0;
}

// Length of the UTF-8 sequence a lead byte starts; 1 for ASCII and for stray bytes.
size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xC0 && lead < 0xE0) return 2;
    if (lead >= 0xE0 && lead < 0xF0) return 3;
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    return 1;
}
}  // namespace

std::string printableAscii(const char* utf8) {
    if (!utf8) return {};
    const std::string_view in(utf8);
    std::string out;
    size_t i = 0;
    while (i < in.size()) {
        const unsigned char byte = static_cast<unsigned char>(in[i]);
        const size_t length = sequenceLength(byte);
        ++i;
        if (length == 1) {
            if (byte >= 32 && byte <= 126) out += static_cast<char>(byte);
            continue;
        }
        // Skip the continuation bytes, stopping at the end or at a byte that does not belong.
        for (size_t k = 1; k < length && i < in.size(); ++k, ++i)
            if ((static_cast<unsigned char>(in[i]) & 0xC0) != 0x80) break;
    }
    return out;
}

void TextInput::getPos(Window& window, int& px, int& py) {
    alignInWindow(window, alignX, alignY, x, y, width, height, px, py);
}

void TextInput::getSize(Window&, int& w, int& h) {
    w = width;
    h = height;
}

std::string TextInput::selectedText() const {
    if (!selectionActive()) return {};
    const int from = std::min(cursor, anchor), to = std::max(cursor, anchor);
    return text.substr(from, to - from);
}

int TextInput::caretIndexAt(Window& window, double cursorX) {
    int px, py;
    getPos(window, px, py);
    const double cells = (cursorX - (px + textOffset)) / charWidthOf(window);
    return std::clamp(static_cast<int>(std::lround(cells)), 0, length());
}

void TextInput::keepCaretVisible(int c) {
    const int caretX = c * cursor + caretMargin;
    if (textOffset + caretX >= width) textOffset = std::min(width - caretX - c, caretMargin);
    else if (textOffset + caretX - 2 * c < 1) textOffset = std::min(2 * c - caretX, caretMargin);
    else textOffset = std::min(textOffset, caretMargin);
}

int TextInput::deleteSelection() {
    const int from = std::min(cursor, anchor), to = std::max(cursor, anchor);
    text.erase(from, to - from);
    cursor = anchor = from;
    hasSelection = false;
    return to - from;
}

void TextInput::scrollBack(int deletedChars, int c) {
    textOffset = std::min(textOffset + deletedChars * c, caretMargin);
    keepCaretVisible(c);
}

void TextInput::insert(const std::string& s) {
    text.insert(cursor, s);
    cursor += static_cast<int>(s.size());
    anchor = cursor;
}

bool TextInput::moveCaret(int step, bool extend) {
    if (extend) {
        if (!hasSelection) {
            anchor = cursor;
            hasSelection = true;
        }
        cursor = std::clamp(cursor + step, 0, length());
        return true;
    }
    if (selectionActive()) {
        cursor = step > 0 ? std::max(cursor, anchor) : std::min(cursor, anchor);
    } else {
        cursor = std::clamp(cursor + step, 0, length());
    }
    anchor = cursor;
    hasSelection = false;
    return true;
}

bool TextInput::mouseButton(Window& window, int, int action, int) {
    if (action == GLFW_PRESS) {
        int px, py, cx, cy;
        getPos(window, px, py);
        window.getCursorPos(cx, cy);
        if (!insideRect(cx, cy, px, py, width, height)) {
            selected = false;
            dragging = false;
            return false;
        }
        dragging = selected = true;
        cursor = anchor = caretIndexAt(window, cx);
        hasSelection = false;
        clickTime = now(window);
        return true;
    }
    if (action == GLFW_RELEASE) {
        dragging = false;
        if (cursor == anchor) hasSelection = false;
        return selected;
    }
    return false;
}

void TextInput::cursorPos(Window& window, double cx, double) {
    if (!dragging) return;
    cursor = caretIndexAt(window, cx);
    hasSelection = true;
    keepCaretVisible(charWidthOf(window));
}

bool TextInput::charInput(Window& window, unsigned codePoint) {
    if (!selected) return false;
    if (codePoint < 32 || codePoint > 126) return true;
    if (selectionActive()) deleteSelection();
    insert(std::string(1, static_cast<char>(codePoint)));
    typedIndex = cursor - 1;
    typeTime = now(window);
    keepCaretVisible(charWidthOf(window));
    return true;
}

bool TextInput::keyInput(Window& window, int key, int, int action, int mods) {
    if (!selected || (action != GLFW_PRESS && action != GLFW_REPEAT)) return false;
    if (key < GLFW_KEY_A || key > GLFW_KEY_LEFT) return false;
    const bool ctrl = mods & GLFW_MOD_CONTROL, shift = mods & GLFW_MOD_SHIFT;
    const int c = charWidthOf(window);
    Clipboard* clipboard = window.getClipboard();

    switch (key) {
    case GLFW_KEY_A:
        if (ctrl && !text.empty()) {
            anchor = 0;
            cursor = length();
            hasSelection = true;
            keepCaretVisible(c);
        }
        return true;
    case GLFW_KEY_C:
        if (ctrl && selectionActive() && clipboard) clipboard->setString(selectedText());
        return true;
    case GLFW_KEY_X:
        if (ctrl && selectionActive()) {
            if (clipboard) clipboard->setString(selectedText());
            scrollBack(deleteSelection(), c);
        }
        return true;
    case GLFW_KEY_V:
        if (ctrl) {
            if (selectionActive()) deleteSelection();
            insert(printableAscii(clipboard ? clipboard->getString() : nullptr));
            hasSelection = false;
            keepCaretVisible(c);
        }
        return true;
    case GLFW_KEY_BACKSPACE:
    case GLFW_KEY_DELETE: {
        int deleted = 0;
        if (selectionActive()) {
            deleted = deleteSelection();
        } else if (key == GLFW_KEY_BACKSPACE && cursor > 0) {
            text.erase(--cursor, 1);
            deleted = 1;
        } else if (key == GLFW_KEY_DELETE && cursor < length()) {
            text.erase(cursor, 1);
            deleted = 1;
        }
        anchor = cursor;
        hasSelection = false;
        if (deleted) scrollBack(deleted, c);
        return true;
    }
    case GLFW_KEY_RIGHT:
    case GLFW_KEY_LEFT:
        moveCaret(key == GLFW_KEY_RIGHT ? 1 : -1, shift);
        keepCaretVisible(c);
        return true;
    default:
        return false;
    }
}

void TextInput::render(Window& window) {
    SolidQuad* quad = window.getQuadRenderer();
    BitmapText* renderer = window.getTextRenderer();
    if (!quad || !renderer) return;
    int px, py;
    getPos(window, px, py);
    const int c = charWidthOf(window), glyphHeight = charHeightOf(window);
    const int textY = py + (height - glyphHeight) / 2;
    const int firstX = px + textOffset;
    // Only whole characters inside the box are drawn.
    const int firstVisible = std::clamp((std::max(-textOffset, 0) + c - 1) / c, 0, length());
    const int endVisible = std::clamp((width - textOffset) / c, firstVisible, length());
    const glm::vec4 white{1, 1, 1, 1};

    paint::fillRect(*quad, px, py, width, height, {0, 0, 0, 0.5f});
    if (selectionActive()) {
        const int from = std::max(std::min(cursor, anchor), firstVisible);
        const int to = std::min(std::max(cursor, anchor), endVisible);
        if (to > from)
            paint::fillRect(*quad, firstX + from * c, textY - 2, (to - from) * c, glyphHeight + 4,
                            {0.2f, 0.4f, 1.0f, 0.6f});
    }
    const bool flashing = now(window) - typeTime < typedFlashSeconds;
    if (flashing && typedIndex >= firstVisible && typedIndex < endVisible) {
        const std::string typed(1, text[typedIndex]);
        const glm::vec4 tints[2] = {{1, 0, 1, 0.7f}, {0, 1, 1, 0.7f}};
        for (const glm::vec4& tint : tints) {
            const glm::vec2 jitter = paint::randomInDisc(5);
            paint::drawText(*renderer, typed, firstX + typedIndex * c + int(jitter.x),
                            textY + int(jitter.y), textScale, false, tint);
        }
    }
    paint::drawText(*renderer, text.substr(firstVisible, endVisible - firstVisible),
                    firstX + firstVisible * c, textY, textScale, false, white);
    if (!selected) return;
    const int caretX = firstX + cursor * c - 1;
    if (caretX >= px && caretX + 2 <= px + width) {
        for (const glm::vec4& tint : {glm::vec4{1, 0, 1, 0.7f}, glm::vec4{0, 1, 1, 0.7f}}) {
            const glm::vec2 jitter = paint::randomInDisc(2);
            paint::fillRect(*quad, caretX + jitter.x, textY - 2 + jitter.y, 2, glyphHeight + 4, tint);
        }
    }
    paint::outlineRect(*quad, px, py, width, height, white);
}

}  // namespace gui
