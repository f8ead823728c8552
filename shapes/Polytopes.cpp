#include "shapes/Polytopes.h"

#include <glm/geometric.hpp>

PentachoronHollow::PentachoronHollow(float wall) {
    positions.reserve(240);
    colours.reserve(240);
    for (int cell = 0; cell < 5; ++cell) {
        const glm::vec4* outer = &pentachoronCells[cell * 4];
        const glm::vec4 centre = (outer[0] + outer[1] + outer[2] + outer[3]) / 4.0f;
        glm::vec4 inner[4];
        for (int k = 0; k < 4; ++k) inner[k] = outer[k] + glm::normalize(centre - outer[k]) * wall;
        addFace(outer, inner, 0, 1, 2);
        addFace(outer, inner, 0, 1, 3);
        addFace(outer, inner, 0, 2, 3);
        addFace(outer, inner, 1, 2, 3);
    }
}

void PentachoronHollow::addFace(const glm::vec4* outer, const glm::vec4* inner, int i, int j,
                                int k) {
    // Colours mark the vertex's place in the face, on both walls alike.
    const glm::vec3 colourI(0.5f, 0.0f, 1.0f), colourJ(0.0f, 1.0f, 1.0f), colourK(1.0f);
    addVertex(outer[j], colourJ);
    addVertex(inner[i], colourI);
    addVertex(inner[j], colourJ);
    addVertex(inner[k], colourK);

    addVertex(outer[i], colourI);
    addVertex(outer[j], colourJ);
    addVertex(inner[i], colourI);
    addVertex(inner[k], colourK);

    addVertex(outer[i], colourI);
    addVertex(outer[j], colourJ);
    addVertex(outer[k], colourK);
    addVertex(inner[k], colourK);
}

HypercubeHollow::HypercubeHollow(float wall) {
    positions.reserve(960);
    colours.reserve(960);
    for (int cell = 0; cell < 8; ++cell) {
        const glm::vec4* outer = &hypercubeCellCorners[cell * 8];
        glm::vec4 inner[8];
        for (int i = 0; i < 4; ++i) {
            const glm::vec4 step = glm::normalize(outer[7 - i] - outer[i]) * wall;
            inner[i] = outer[i] + step;
            inner[7 - i] = outer[7 - i] - step;
        }
        addFace(outer, inner, 0, 1, 2, 3);
        addFace(outer, inner, 4, 5, 6, 7);
        addFace(outer, inner, 1, 5, 3, 7);
        addFace(outer, inner, 0, 4, 2, 6);
        addFace(outer, inner, 0, 1, 4, 5);
        addFace(outer, inner, 2, 3, 6, 7);
    }
}

void HypercubeHollow::addFace(const glm::vec4* outer, const glm::vec4* inner, int a, int b, int c,
                              int d) {
    // Outer a, b, c, d are hexahedron corners 0..3, their inner copies 4..7.
    const glm::vec4 corners[8] = {outer[a], outer[b], outer[c], outer[d],
                                  inner[a], inner[b], inner[c], inner[d]};
    for (const auto& tetrahedron : hexahedronSplit)
        for (int corner : tetrahedron) addVertex(corners[corner], hexahedronCornerColour(corner));
}
