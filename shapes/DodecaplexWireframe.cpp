#include "shapes/Dodecaplex.h"

#include <glm/geometric.hpp>

namespace {
constexpr double sameEdgeDistance = 0.001;
}

void DodecaplexWireframe::generate() {
    const std::vector<Dodecaplex::Cell> cells = Dodecaplex::buildCells();
    // Every edge is shared by three cells; it is kept the first time its midpoint is seen.
    std::vector<glm::dvec4> kept;
    kept.reserve(1200);
    positions.reserve(2400);
    for (const Dodecaplex::Cell& cell : cells)
        for (const Dodecaplex::Face& face : cell.faces)
            for (int j = 0; j < 5; ++j) {
                const glm::dvec4 midpoint(face.midpoints[j]);
                bool known = false;
                for (const glm::dvec4& other : kept)
                    if (glm::distance(other, midpoint) < sameEdgeDistance) {
                        known = true;
                        break;
                    }
                if (known) continue;
                kept.push_back(midpoint);
                positions.push_back(face.corners[j]);
                positions.push_back(face.corners[(j + 1) % 5]);
            }
}
