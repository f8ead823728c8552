#include "gui/Text.h"

#include "engine/BitmapText.h"
#include "gui/Paint.h"
#include "gui/Window.h"

#include <glm/geometric.hpp>
#include <glm/vec2.hpp>

#include <algorithm>

namespace gui {

namespace {
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> result;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        result.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) return result;
        start = end + 1;
    }
}

void wrapLine(const std::string& line, size_t charsPerLine, std::vector<std::string>& out) {
    size_t start = 0;
    while (line.size() - start > charsPerLine) {
        // The last space at which the part before it still fits; the space itself is dropped.
        const size_t space = line.rfind(' ', start + charsPerLine);
        if (space != std::string::npos && space > start) {
            out.push_back(line.substr(start, space - start));
            start = space + 1;
        } else {
            out.push_back(line.substr(start, charsPerLine));
            start += charsPerLine;
        }
    }
    out.push_back(line.substr(start));
}
}  // namespace

std::vector<std::string> wrapText(const std::string& text, int charsPerLine) {
    std::vector<std::string> paragraphs = splitLines(text);
    if (charsPerLine <= 0) return paragraphs;
    std::vector<std::string> result;
    for (const std::string& paragraph : paragraphs)
        wrapLine(paragraph, static_cast<size_t>(charsPerLine), result);
    return result;
}

void Text::setText(const std::string& s) {
    text.clear();
    for (char ch : s) {
        if (ch == '\t') text += "    ";
        else text += ch;
    }
}

int Text::charWidth(Window& window) const {
    const BitmapText* renderer = window.getTextRenderer();
    return static_cast<int>((renderer ? renderer->charWidth : 8) * scale);
}

int Text::lineHeight(Window& window) const {
    const BitmapText* renderer = window.getTextRenderer();
    return static_cast<int>((renderer ? renderer->charHeight : 8) * scale * 1.5);
}

std::vector<std::string> Text::lines(Window& window) const {
    if (wrapWidth <= 0) return wrapText(text, 0);
    // At least one character per line, or a narrow label could never finish wrapping.
    return wrapText(text, std::max(wrapWidth / std::max(charWidth(window), 1), 1));
}

void Text::getSize(Window& window, int& w, int& h) {
    const std::vector<std::string> all = lines(window);
    h = static_cast<int>(all.size()) * lineHeight(window);
    if (wrapWidth > 0) {
        w = wrapWidth;
        return;
    }
    size_t longest = 0;
    for (const std::string& line : all) longest = std::max(longest, line.size());
    w = static_cast<int>(longest) * charWidth(window);
}

void Text::getPos(Window& window, int& px, int& py) {
    int w = 0, h = 0;
    getSize(window, w, h);
    alignInWindow(window, alignX, alignY, x, y, w, h, px, py);
}

int Text::lineLeft(int blockX, int lineWidth) const {
    // Unwrapped, the whole block is already aligned; wrapped, each line aligns in wrapWidth.
    if (wrapWidth <= 0 || alignX == 0) return blockX;
    if (alignX == 1) return blockX + wrapWidth - lineWidth;
    return blockX + wrapWidth / 2 - lineWidth / 2;
}

void Text::render(Window& window) {
    BitmapText* renderer = window.getTextRenderer();
    if (!renderer) return;
    int px, py;
    getPos(window, px, py);
    const int c = charWidth(window), lh = lineHeight(window);
    const int glyphHeight = static_cast<int>(renderer->charHeight) * scale;
    const unsigned drawScale = static_cast<unsigned>(scale);
    int cursorX = 0, cursorY = 0;
    if (cursorGlow) window.getCursorPos(cursorX, cursorY);

    const std::vector<std::string> all = lines(window);
    for (size_t i = 0; i < all.size(); ++i) {
        const std::string& line = all[i];
        const int lineWidth = static_cast<int>(line.size()) * c;
        const int lineY = py + static_cast<int>(i) * lh;
        const int lineX = lineLeft(px, lineWidth);
        if (shadow)
            paint::drawText(*renderer, line, lineX + scale, lineY + scale, drawScale, false,
                            {0, 0, 0, 1});
        if (cursorGlow) {
            const glm::vec2 centre{lineX + lineWidth / 2.0f, lineY + glyphHeight / 2.0f};
            const glm::vec2 d = 0.02f * (glm::vec2(cursorX, cursorY) - centre);
            const float a = std::min(1.0f - glm::length(d) / 20.0f, 0.5f);
            paint::drawText(*renderer, line, lineX + int(d.x), lineY + int(d.y), drawScale, false,
                            {1, 0, 1, a});
            paint::drawText(*renderer, line, lineX - int(d.x), lineY - int(d.y), drawScale, false,
                            {0, 1, 1, a});
        }
        paint::drawText(*renderer, line, lineX, lineY, drawScale, false, color);
    }
}

}  // namespace gui
