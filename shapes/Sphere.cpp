#include "shapes/Sphere.h"

#include <utility>

namespace {

constexpr int steps = 24;  // angular steps from pole to pole
constexpr int turnSteps = 2 * steps;
constexpr int trianglesPerDisc = turnSteps;

}  // namespace

void Sphere::addDisc(int k, MeshData& disc, const float* sines, const float* cosines) {
    const float st = sines[k], ct = cosines[k];
    const float depth = (ct + 1.0f) / 2.0f;
    const glm::vec4 centre(0.0f, 0.0f, 0.0f, ct);
    const glm::vec3 centreAttribute(0.5f, 0.5f, depth);
    auto rimPoint = [&](int j) { return glm::vec4(cosines[j] * st, sines[j] * st, 0.0f, ct); };
    auto rimAttribute = [&](int j) {
        return glm::vec3((cosines[j] + 1.0f) / 2.0f, (1.0f - sines[j]) / 2.0f, depth);
    };
    for (int j = 1; j <= turnSteps; ++j) {
        disc.addVertex(rimPoint(j - 1), rimAttribute(j - 1));
        disc.addVertex(rimPoint(j), rimAttribute(j));
        disc.addVertex(centre, centreAttribute);
    }
}

Sphere::Sphere() {
    const AngleTable angles(steps);
    constexpr int tetrahedra = trianglesPerDisc * (2 + (steps - 2) * 3);
    positions.reserve(tetrahedra * 4);
    colours.reserve(tetrahedra * 4);

    MeshData kept, next;
    kept.positions.reserve(trianglesPerDisc * 3);
    kept.colours.reserve(trianglesPerDisc * 3);
    next.positions.reserve(trianglesPerDisc * 3);
    next.colours.reserve(trianglesPerDisc * 3);

    // The north pole's depth is 0 while the disc beside it is near 1: kept as designed.
    addDisc(1, kept, angles.sines.data(), angles.cosines.data());
    for (int t = 0; t < trianglesPerDisc; ++t) {
        addVertex(glm::vec4(0.0f, 0.0f, 0.0f, 1.0f), glm::vec3(0.5f, 0.5f, 0.0f));
        for (int v = 0; v < 3; ++v) copyVertex(kept, t * 3 + v);
    }

    // Prism (P1, C0, C1, C2), (P0, P1, C0, C2), (P0, P1, P2, C2) between the kept disc's
    // triangle P and the next disc's triangle C.
    static constexpr int prism[12] = {1, 3, 4, 5, 0, 1, 3, 5, 0, 1, 2, 5};
    for (int k = 2; k < steps; ++k) {
        next.clear();
        addDisc(k, next, angles.sines.data(), angles.cosines.data());
        for (int t = 0; t < trianglesPerDisc; ++t) {
            for (int corner : prism)
                copyVertex(corner < 3 ? kept : next, t * 3 + corner % 3);
        }
        std::swap(kept, next);
    }

    for (int t = 0; t < trianglesPerDisc; ++t) {
        addVertex(glm::vec4(0.0f, 0.0f, 0.0f, -1.0f), glm::vec3(0.5f, 0.5f, 1.0f));
        for (int v = 0; v < 3; ++v) copyVertex(kept, t * 3 + v);
    }
}
