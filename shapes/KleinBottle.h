#pragma once

#include "shapes/ShapeMesh.h"

// A wire Klein bottle in 4D: a circle of radius r carried once around a circle of radius R
// while it turns half a turn, so the last ring meets the first reversed. Vertex pairs are
// line segments (draw as GL_LINES).
class KleinBottle : public ShapeMesh {
public:
    KleinBottle(float tubeRadius, float pathRadius, const glm::vec3& colourA,
                const glm::vec3& colourB);
};

extern KleinBottle kleinBottleMesh;  // radii 0.5 and 1.0, red to blue
