#include "shapes/KleinBottle.h"

#include "engine/Math4D.h"

#include <array>
#include <cmath>

namespace {
constexpr int ringPoints = 21;  // point 20 closes the circle on point 0
constexpr int steps = 20;
constexpr float pi = 3.14159265358979f;
}  // namespace

KleinBottle::KleinBottle(float tubeRadius, float pathRadius, const glm::vec3& colourA,
                         const glm::vec3& colourB) {
    std::array<glm::vec4, ringPoints> circle;
    for (int i = 0; i < ringPoints; ++i)
        circle[i] = glm::vec4(0.0f, tubeRadius * std::sin(i * pi / 10.0f), 0.0f,
                              tubeRadius * std::cos(i * pi / 10.0f));

    const glm::vec4 toPath(0.0f, -pathRadius, 0.0f, 0.0f);
    std::array<glm::vec4, ringPoints> previous, current;
    for (int i = 0; i < ringPoints; ++i) previous[i] = circle[i] + toPath;
    glm::vec3 previousColour = colourA;

    Bivector4 twistPlane;
    twistPlane.yz = -1.0f;
    Bivector4 pathPlane;
    pathPlane.xy = 1.0f;

    positions.reserve(steps * ringPoints * 6);
    colours.reserve(steps * ringPoints * 6);
    for (int step = 1; step <= steps; ++step) {
        const float s = float(step) / steps;
        const glm::vec3 colour = s * colourA + (1.0f - s) * colourB;
        const Mat5 ringTransform = Rotor4(pathPlane, 2.0f * pi * s).toMat5() *
                                   translate4(toPath) * Rotor4(twistPlane, pi * s).toMat5();
        for (int i = 0; i < ringPoints; ++i) current[i] = ringTransform.transform(circle[i], 1.0f);

        for (int j = 0; j < ringPoints; ++j) {
            const int k = (j + 1) % ringPoints;
            addVertex(previous[j], previousColour);
            addVertex(previous[k], previousColour);
            addVertex(previous[j], previousColour);
            addVertex(current[j], colour);
            addVertex(previous[k], previousColour);
            addVertex(current[k], colour);
        }
        previous = current;
        previousColour = colour;
    }
}
