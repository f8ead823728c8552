#pragma once

#include "engine/BitmapText.h"
#include "engine/Math4D.h"
#include "engine/MeshRenderer.h"

#include <glm/mat4x4.hpp>

// The compass display. Lying in the world the compass is a small hollow tesseract with a dark
// core. In the hand it is a diagram of the world's horizontal three-space (x, z, and w drawn
// upwards): a unit cube standing for one block, the cut of that cube by the player's view, three
// coloured axes and needles for the facing and side directions, with the player's position and
// facing printed at the bottom right of the window. The game screen builds the resources at
// every start; every draw skips what was never built or whose shader is missing.
class CompassRenderer {
public:
    static MeshRenderer tesseractRenderer;
    static MeshRenderer hollowTesseractRenderer;
    static MeshRenderer cubeTetraRenderer;
    static MeshRenderer cubeFacesRenderer;
    static MeshRenderer cubeEdgesRenderer;
    static MeshRenderer axisLineRenderer;
    static BitmapText text;

    // Builds every resource; GL objects from an earlier call are released first.
    static void init();
    // The compass as a dropped item.
    static void renderDropped(const Mat5& mv);
    // The held diagram next to the translation of `model` (only that column is read), then the
    // readout. Leaves face culling, depth writes and the bound vertex array as it found them.
    static void renderHeld(const glm::mat4& model);
    // The two lines of text: position and facing.
    static void renderReadout();
};
