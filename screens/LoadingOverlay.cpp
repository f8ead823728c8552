#include "screens/LoadingOverlay.h"

#include "engine/BitmapText.h"
#include "engine/SolidQuad.h"
#include "gui/Paint.h"

#include <glm/vec2.hpp>

#include <cmath>

namespace loading {

void drawOverlay(BitmapText& text, SolidQuad& quad, int width, int height, float progress) {
    const glm::ivec2 a = gui::paint::randomPixelsInDisc(5.0f);
    const glm::ivec2 b = gui::paint::randomPixelsInDisc(5.0f);
    const int cx = width / 2, cy = height / 2;
    const glm::vec4 magenta(1, 0, 1, 0.7f), cyan(0, 1, 1, 0.7f);
    gui::paint::drawText(text, "Loading...", cx + a.x, cy + a.y, 4, true, magenta);
    gui::paint::drawText(text, "Loading...", cx + b.x, cy + b.y, 4, true, cyan);
    gui::paint::drawText(text, "Loading...", cx, cy, 4, true, glm::vec4(1.0f));

    const float top = float(height - 200), barWidth = float(width - 200);
    const float fill = float(int(barWidth * progress));
    gui::paint::outlineRect(quad, 100.0f, top, barWidth, 20.0f, glm::vec4(1.0f));
    if (fill <= 0.0f) return;
    gui::paint::fillRect(quad, 100.0f + a.x, top + a.y, fill, 20.0f, magenta);
    gui::paint::fillRect(quad, 100.0f + b.x, top + b.y, fill, 20.0f, cyan);
}

Mat5 spinningShapeTransform(const glm::vec4& offset, float spin) {
    Mat5 view = lookAt4(glm::vec4(0.0f), glm::vec4(0, 0, -1, 0), glm::vec4(0, 1, 0, 0),
                        glm::vec4(-1, 0, 0, 0), glm::vec4(0, 0, 0, 1));
    view = view * translate4(offset);
    const float a = 1.0f / std::sqrt(3.0f), b = 1.0f / std::sqrt(2.0f);
    Rotor4 turn(wedge4(glm::vec4(0, a, a, a), glm::vec4(b, 0, 0, b)), spin);
    return view * turn.toMat5();
}

}  // namespace loading
