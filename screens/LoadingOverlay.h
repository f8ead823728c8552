#pragma once

#include "engine/Math4D.h"

class BitmapText;
class SolidQuad;

// What the loading screens share: the intro, the title screen (while its background world
// loads) and the world-generation screen.
namespace loading {

// "Loading..." in the middle of a width x height window, shaking in two colour-split copies,
// over a progress bar 200 pixels above the bottom edge whose fill shakes with the same offsets.
// The 2D projections must be set; depth writes are the caller's business. progress is 0 to 1.
void drawOverlay(BitmapText& text, SolidQuad& quad, int width, int height, float progress);

// The transform of the turning 4D shape: the camera looks along -z at the shape, which stands
// `offset` away from it and turns by `spin` radians in a fixed oblique plane.
Mat5 spinningShapeTransform(const glm::vec4& offset, float spin);

}  // namespace loading
