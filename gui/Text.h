#pragma once

#include "gui/Element.h"

#include <glm/vec4.hpp>

#include <string>
#include <vector>

namespace gui {

// A static label: aligned, scaled, coloured, optionally wrapped, with a shadow and a glow that
// follows the cursor. Never selectable; takes no input.
class Text : public PlacedElement {
public:
    std::string text;
    glm::vec4 color{1, 1, 1, 1};
    int scale = 2;
    int wrapWidth = 0;  // 0 = no wrapping
    bool shadow = false;
    bool cursorGlow = false;

    // Stores the text with every tab replaced by four spaces.
    void setText(const std::string& s);

    void render(Window& window) override;
    void getPos(Window& window, int& px, int& py) override;
    void getSize(Window& window, int& w, int& h) override;

    // The lines as drawn, and their metrics in the window's font.
    std::vector<std::string> lines(Window& window) const;
    int charWidth(Window& window) const;
    int lineHeight(Window& window) const;
    // Where a line of lineWidth pixels starts, for a label whose block starts at blockX.
    int lineLeft(int blockX, int lineWidth) const;
};

// Splits at newlines and, with charsPerLine > 0, breaks each line at its last space that keeps it
// within charsPerLine characters; a word longer than a line is broken hard.
std::vector<std::string> wrapText(const std::string& text, int charsPerLine);

}  // namespace gui
