#pragma once

#include "gui/Element.h"

class TexturedQuad;

namespace gui {

// A rectangle drawn with a textured quad that the owner set up. Takes no input.
class Image : public PlacedElement {
public:
    TexturedQuad* quad = nullptr;
    int width = 0, height = 0;

    void render(Window& window) override;
    void getPos(Window& window, int& px, int& py) override;
    void getSize(Window& window, int& w, int& h) override;
};

}  // namespace gui
