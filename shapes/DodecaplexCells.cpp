// Builds the 120 dodecahedral cells of the 120-cell (edge 1) by folding: one dodecahedron from
// one pentagon folded over its edges, then the cells from one cell folded over its faces.
#include "shapes/Dodecaplex.h"

#include "engine/Math4D.h"

#include <glm/geometric.hpp>

#include <algorithm>
#include <vector>

namespace {

constexpr float dodecahedronInradius = 1.1135163f;
// The dodecahedron's dihedral angle: turning a face about an edge by it lands on the face's
// neighbour across that edge.
// acos(-1 / sqrt 5), as a constant: other files' globals may build 120-cells before this
// file's dynamic initialisation has run.
constexpr float faceFoldAngle = 2.0344439357957027f;
constexpr float cellFoldAngle = 3.14159265358979f / 5.0f;
constexpr double sameFaceDistance = 1e-5;
constexpr double sameCellDistance = 0.001;

// True when a record of the list has its centre closer than `tolerance` to `centre`
// (compared in double precision).
template <typename Record>
bool hasCentreNear(const std::vector<Record>& records, const glm::vec4& centre, double tolerance) {
    return std::any_of(records.begin(), records.end(), [&](const Record& record) {
        return glm::distance(glm::dvec4(record.centre), glm::dvec4(centre)) < tolerance;
    });
}

// The bottom face of a dodecahedron centred at the origin; its points lie at y = -inradius.
Dodecaplex::Face firstFace() {
    static constexpr float corners[5][2] = {{0.0f, 0.8506508f},
                                            {0.809017f, 0.2628655f},
                                            {0.5f, -0.6881909f},
                                            {-0.5f, -0.6881909f},
                                            {-0.809017f, 0.2628655f}};
    static constexpr float midpoints[5][2] = {{0.4045085f, 0.5567582f},
                                              {0.6545085f, -0.2126627f},
                                              {0.0f, -0.6881909f},
                                              {-0.6545085f, -0.2126627f},
                                              {-0.4045085f, 0.5567582f}};
    const float y = -dodecahedronInradius;
    Dodecaplex::Face face;
    face.centre = glm::vec4(0.0f, y, 0.0f, 0.0f);
    face.normal = glm::vec4(0.0f, 1.0f, 0.0f, 0.0f);
    for (int j = 0; j < 5; ++j) {
        face.corners[j] = glm::vec4(corners[j][0], y, corners[j][1], 0.0f);
        face.midpoints[j] = glm::vec4(midpoints[j][0], y, midpoints[j][1], 0.0f);
    }
    return face;
}

// The face with `move` applied to each of its points (not to its normal).
template <typename Move>
Dodecaplex::Face moveFace(const Dodecaplex::Face& face, Move move) {
    Dodecaplex::Face result;
    result.centre = move(face.centre);
    for (int j = 0; j < 5; ++j) {
        result.corners[j] = move(face.corners[j]);
        result.midpoints[j] = move(face.midpoints[j]);
    }
    result.normal = face.normal;
    return result;
}

}  // namespace

void Dodecaplex::foldFaces(const Face& source, std::vector<Face>& faces, int depth) {
    const Face face = source;  // `source` may live in `faces`, which grows below
    const std::size_t firstNew = faces.size();
    for (int j = 0; j < 5; ++j) {
        const glm::vec4& pivot = face.midpoints[j];
        const glm::vec4 towardsCentre = glm::normalize(face.centre - pivot);
        // Turning the in-face direction towards the inward normal swings the face up onto its
        // neighbour, whose centre stays at the inradius.
        const Mat5 turn = Rotor4(wedge4(towardsCentre, face.normal), faceFoldAngle).toMat5();
        const glm::vec4 centre = pivot + turn.transform(face.centre - pivot, 0.0f);
        if (hasCentreNear(faces, centre, sameFaceDistance)) continue;
        Face folded = moveFace(face, [&](const glm::vec4& p) {
            return pivot + turn.transform(p - pivot, 0.0f);
        });
        // A turn about the shared edge flips which side of the face looks into the solid; the
        // solid is centred at the origin, so the inward normal follows from the centre.
        folded.normal = -glm::normalize(folded.centre);
        faces.push_back(folded);
    }
    if (depth < 1) return;
    const std::size_t end = faces.size();
    for (std::size_t i = firstNew; i < end; ++i) foldFaces(faces[i], faces, depth - 1);
}

void Dodecaplex::foldCells(const Cell& source, std::vector<Cell>& cells, int depth) {
    const Cell cell = source;  // `source` may live in `cells`, which grows below
    const std::size_t firstNew = cells.size();
    for (const Face& face : cell.faces) {
        const glm::vec4 towardsFace = glm::normalize(face.centre - cell.centre);
        const Rotor4 fold(wedge4(towardsFace, cell.direction), cellFoldAngle);
        const Rotor4 halfTurn(wedge4(glm::normalize(face.corners[1] - face.centre),
                                     glm::normalize(face.corners[0] - face.centre)),
                              3.14159265358979f);
        // The two planes are orthogonal, so the turns commute; one matrix does both.
        Rotor4 both = halfTurn;
        both.multiply(fold);
        const Mat5 turn = both.toMat5();

        const glm::vec4 centre = turn.transform(cell.centre, 0.0f);
        if (hasCentreNear(cells, centre, sameCellDistance)) continue;
        Cell moved;
        moved.centre = centre;
        for (int k = 0; k < 12; ++k)
            moved.faces[k] = moveFace(cell.faces[k], [&](const glm::vec4& p) {
                return turn.transform(p, 0.0f);
            });
        moved.direction = glm::normalize(turn.transform(cell.direction, 0.0f));
        cells.push_back(moved);
    }
    if (depth < 1) return;
    const std::size_t end = cells.size();
    for (std::size_t i = firstNew; i < end; ++i) foldCells(cells[i], cells, depth - 1);
}

std::vector<Dodecaplex::Cell> Dodecaplex::buildCells() {
    std::vector<Face> faces;
    faces.reserve(12);
    faces.push_back(firstFace());
    foldFaces(faces[0], faces, 2);

    // The dodecahedron becomes the cell below the origin: its y becomes w, and it sits in the
    // hyperplane y = -inradius of the 120-cell.
    auto lift = [](const glm::vec4& p) {
        return glm::vec4(p.x, -Dodecaplex::inradius, p.z, p.y);
    };
    Cell first;
    first.centre = glm::vec4(0.0f, -Dodecaplex::inradius, 0.0f, 0.0f);
    first.direction = glm::vec4(0.0f, 1.0f, 0.0f, 0.0f);
    for (std::size_t k = 0; k < first.faces.size() && k < faces.size(); ++k) {
        Face& face = first.faces[k];
        face.centre = lift(faces[k].centre);
        for (int j = 0; j < 5; ++j) {
            face.corners[j] = lift(faces[k].corners[j]);
            face.midpoints[j] = lift(faces[k].midpoints[j]);
        }
        face.normal = glm::vec4(0.0f);  // only the 3D folds need it
    }

    std::vector<Cell> cells;
    cells.reserve(120);
    cells.push_back(first);
    foldCells(cells[0], cells, 7);
    return cells;
}
