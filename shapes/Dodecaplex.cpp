#include "shapes/Dodecaplex.h"

#include <glm/geometric.hpp>

#include <array>

namespace {

using Pentagon = std::array<glm::vec4, 5>;

// Fan triangles of a pentagon; the shell pieces use (0, 4, 3) so each prism keeps one
// orientation around the fan.
constexpr int shellFan[3][3] = {{0, 1, 2}, {0, 2, 3}, {0, 4, 3}};

}  // namespace

void Dodecaplex::generate(bool hollow, float inset, bool radial, const float* cellColours,
                          bool twoColour) {
    const std::vector<Cell> cells = buildCells();
    const std::size_t perCell = hollow ? (radial ? 12 * 108 : 12 * 36) : 12 * 12;
    positions.reserve(cells.size() * perCell);
    colours.reserve(cells.size() * perCell);
    if (hasNormals) normals.reserve(cells.size() * perCell / 4);

    for (std::size_t i = 0; i < cells.size(); ++i) {
        const float* c = twoColour ? cellColours + (i % 3 == 0 ? 3 : 0) : cellColours + 3 * i;
        const glm::vec3 colour(c[0], c[1], c[2]);
        if (hollow)
            emitHollow(cells[i], colour, inset, radial);
        else
            emitSolid(cells[i], colour);
    }
}

void Dodecaplex::emitSolid(const Cell& cell, const glm::vec3& colour) {
    const glm::vec4 outward = -cell.direction;
    for (const Face& face : cell.faces) {
        const Pentagon& p = face.corners;
        for (int k = 1; k <= 3; ++k) {
            positions.push_back(p[0]);
            positions.push_back(p[k]);
            positions.push_back(p[k + 1]);
            positions.push_back(cell.centre);
            if (hasNormals) normals.push_back(outward);
        }
        colours.insert(colours.end(), 12, colour);
    }
}

void Dodecaplex::emitHollow(const Cell& cell, const glm::vec3& colour, float inset, bool radial) {
    // The piece of wall between the outer pentagon and the inner one: a triangular prism on
    // each fan triangle, three tetrahedra each.
    auto addShell = [&](const Pentagon& outer, const Pentagon& inner, const glm::vec4& normal) {
        for (const auto& tri : shellFan) {
            const glm::vec4 &a = outer[tri[0]], &b = outer[tri[1]], &c = outer[tri[2]];
            const glm::vec4 &a2 = inner[tri[0]], &b2 = inner[tri[1]], &c2 = inner[tri[2]];
            const glm::vec4 tetrahedra[12] = {b, a2, b2, c2, a, b, a2, c2, a, b, c, c2};
            positions.insert(positions.end(), tetrahedra, tetrahedra + 12);
            if (hasNormals) normals.insert(normals.end(), 3, normal);
        }
        colours.insert(colours.end(), 36, colour);
    };

    const glm::vec4 outward = -cell.direction;
    const float pull = 1.0f - inset / inradius;
    for (const Face& face : cell.faces) {
        const Pentagon& p = face.corners;
        Pentagon q;
        for (int k = 0; k < 5; ++k) q[k] = p[k] + (cell.centre - p[k]) * inset;
        addShell(p, q, outward);
        if (!radial) continue;

        // A second wall pulled towards the origin, closed against the first along q.
        Pentagon r, t;
        for (int k = 0; k < 5; ++k) {
            r[k] = p[k] * pull;
            t[k] = q[k] * pull;
        }
        addShell(r, t, -glm::normalize(cell.centre));
        addShell(q, t, glm::normalize(cell.centre - face.centre));
    }
}

const void* Dodecaplex::attribData(int i) const {
    if (i == 0) return positions.data();
    if (i == 1) return colours.data();
    return normals.data();
}

uint32_t Dodecaplex::attribDataSize(int i) const {
    if (i == 0) return static_cast<uint32_t>(positions.size() * sizeof(glm::vec4));
    if (i == 1) return static_cast<uint32_t>(colours.size() * sizeof(glm::vec3));
    return static_cast<uint32_t>(normals.size() * sizeof(glm::vec4));
}

void makeCellColours(std::vector<glm::vec3>& out) {
    static constexpr float keys[7][3] = {{1, 0, 0}, {1, 0.5f, 0}, {1, 1, 0}, {0, 1, 0},
                                         {0, 0, 1}, {1, 0, 1},    {1, 0, 0}};
    for (int k = 0; k < 6; ++k) {
        const glm::vec3 start(keys[k][0], keys[k][1], keys[k][2]);
        const glm::vec3 end(keys[k + 1][0], keys[k + 1][1], keys[k + 1][2]);
        // Twenty steps of a twenty-first: a segment never reaches its end colour.
        for (int i = 0; i < 20; ++i) out.push_back(start + float(i) * (end - start) / 21.0f);
    }
}
