#pragma once

#include <glm/vec2.hpp>
#include <glm/vec4.hpp>

#include <random>
#include <string>

class SolidQuad;
class BitmapText;

// The drawing steps every widget shares, on the window's shared quad and text renderers.
// Only render paths call these: they make GL calls.
namespace gui::paint {

// Quads are drawn from their four corners in loop order (a fan to fill, a loop to outline), so
// one quad serves both whatever index buffer it was initialised with.
void fillRect(SolidQuad& quad, float x, float y, float width, float height, glm::vec4 color);
// A rectangle shading from `top` along its top edge to `bottom` along its bottom edge.
void fillVerticalGradient(SolidQuad& quad, float x, float y, float width, float height,
                          glm::vec4 top, glm::vec4 bottom);
// A one-pixel outline on the outermost pixels of the rectangle.
void outlineRect(SolidQuad& quad, float x, float y, float width, float height, glm::vec4 color);
// One line of text; centred puts the text's middle at (x, y).
void drawText(BitmapText& renderer, const std::string& text, int x, int y, unsigned scale,
              bool centered, glm::vec4 color);

// A random offset inside a disc, uniform over its area, for the jittering outlines and glyphs;
// from a generator of the caller's, or from one of the calling thread's.
glm::vec2 randomInDisc(std::mt19937& random, float radius);
glm::vec2 randomInDisc(float radius);
// The same offset in whole pixels (truncated toward zero), from the calling thread's generator.
glm::ivec2 randomPixelsInDisc(float radius);

}  // namespace gui::paint
