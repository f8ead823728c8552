#pragma once

#include "gui/Element.h"

class TexturedQuad;

namespace gui {

// A rectangle drawn with a textured quad that the owner set up. Takes no input.
class Image : public Element {
public:
    TexturedQuad* quad = nullptr;
    int x = 0, y = 0;
    int alignX = 0, alignY = 0;
    int width = 0, height = 0;

    void render(Window& window) override;
    void setAlignX(int alignment) override { alignX = alignment; }
    void setAlignY(int alignment) override { alignY = alignment; }
    void setX(int offset) override { x = offset; }
    void setY(int offset) override { y = offset; }
    void getPos(Window& window, int& px, int& py) override;
    void getSize(Window& window, int& w, int& h) override;
};

}  // namespace gui
