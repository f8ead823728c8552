#pragma once

#include "engine/Mesh.h"

#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include <array>
#include <vector>

// The regular 120-cell of edge 1 as tetrahedra (four vertices each): every dodecahedral cell
// is filled by fans from its centre, or, hollow, replaced by shell pieces under its faces.
class Dodecaplex : public Mesh {
public:
    // Distance from the 120-cell's centre to each cell's centre (edge 1).
    static constexpr float inradius = 3.427051f;

    // Working records of the generator, discarded after generation.
    struct Face {
        glm::vec4 centre;
        std::array<glm::vec4, 5> midpoints;  // edge j runs from corner j to corner j + 1
        std::array<glm::vec4, 5> corners;    // in order around the pentagon
        glm::vec4 normal;                    // unit, into the solid (3D stage only)
    };
    struct Cell {
        glm::vec4 centre;
        std::array<Face, 12> faces;
        glm::vec4 direction;  // unit, from the centre towards the origin
    };

    std::vector<glm::vec4> positions;
    std::vector<glm::vec3> colours;
    bool hasNormals = false;           // set by the owner before generate
    std::vector<glm::vec4> normals;    // one per tetrahedron

    // Fills this (empty) mesh. `cellColours` holds 120 triples, or colour A then colour B
    // when `twoColour` is set (then every third cell, from index 0, takes colour B).
    void generate(bool hollow, float inset, bool radial, const float* cellColours, bool twoColour);

    // Recursive steps of the generator: fold a face over its five edges, a cell over its
    // twelve faces, appending what is new and recursing on it while depth >= 1.
    static void foldFaces(const Face& face, std::vector<Face>& faces, int depth);
    static void foldCells(const Cell& cell, std::vector<Cell>& cells, int depth);
    // The 120 cells in the order the folds find them.
    static std::vector<Cell> buildCells();

    int attribCount() const override { return hasNormals ? 3 : 2; }
    uint32_t vertCount() const override { return static_cast<uint32_t>(positions.size()); }
    GLenum attribType(int) const override { return GL_FLOAT; }
    int attribSize(int i) const override { return i == 0 ? 4 : i == 1 ? 3 : 1; }
    uint32_t attribStride(int) const override { return 0; }
    const void* attribData(int i) const override;
    uint32_t attribDataSize(int i) const override;

private:
    void emitSolid(const Cell& cell, const glm::vec3& colour);
    void emitHollow(const Cell& cell, const glm::vec3& colour, float inset, bool radial);
};

// The 1200 edges of the 120-cell as vertex pairs (draw as GL_LINES).
class DodecaplexWireframe : public Mesh {
public:
    std::vector<glm::vec4> positions;

    void generate();

    int attribCount() const override { return 1; }
    uint32_t vertCount() const override { return static_cast<uint32_t>(positions.size()); }
    GLenum attribType(int) const override { return GL_FLOAT; }
    int attribSize(int) const override { return 4; }
    uint32_t attribStride(int) const override { return 0; }
    const void* attribData(int) const override { return positions.data(); }
    uint32_t attribDataSize(int) const override {
        return static_cast<uint32_t>(positions.size() * sizeof(glm::vec4));
    }
};

// Appends the 120 rainbow cell colours (red, orange, yellow, green, blue, magenta, towards red).
void makeCellColours(std::vector<glm::vec3>& out);

extern Dodecaplex loadingDodecaplex;             // hollow, radial, rainbow, with normals
extern Dodecaplex greyDodecaplex;                // solid grey, with normals
extern DodecaplexWireframe dodecaplexWireframe;  // edges

// The spider's five body variants: colour A, then colour B (every third cell, from cell 0).
inline constexpr int SPIDER_PART_COUNT = 5;
inline constexpr float spiderPartColours[SPIDER_PART_COUNT][6] = {
    {0, 0, 0, 1, 0, 0},   {0, 0, 0, 1, 0, 0.5f}, {0, 0, 0, 1, 1, 0},
    {1, 1, 1, 0, 0.5f, 0}, {1, 0, 0, 1, 1, 1}};
// Solid, two-coloured, without normals; variant k at index k.
extern std::array<Dodecaplex, SPIDER_PART_COUNT> spiderPartMeshes;
