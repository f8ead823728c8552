#pragma once

#include <array>
#include <cstdint>

// Five tetrahedra of four vertices each make one face.
inline constexpr int VERTICES_PER_FACE = 20;

// Five tetrahedra (20 vertex offsets dx, dy, dz, dw) filling one face of a unit 4D cell, one
// table per face axis x, y, z, w. The offset along the face's own axis is always 0; the first
// tetrahedron of each face is the inner one, the z table uses the cube's other diagonal.
inline constexpr uint8_t cubeFaceTetrahedra[4][VERTICES_PER_FACE][4] = {
    // x
    {{0, 1, 1, 0}, {0, 0, 0, 0}, {0, 1, 0, 1}, {0, 0, 1, 1},
     {0, 1, 0, 0}, {0, 1, 1, 0}, {0, 0, 0, 0}, {0, 1, 0, 1},
     {0, 0, 0, 0}, {0, 1, 0, 1}, {0, 0, 0, 1}, {0, 0, 1, 1},
     {0, 1, 1, 0}, {0, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 1, 1},
     {0, 1, 1, 0}, {0, 1, 0, 1}, {0, 1, 1, 1}, {0, 0, 1, 1}},
    // y
    {{1, 0, 1, 0}, {0, 0, 0, 0}, {0, 0, 1, 1}, {1, 0, 0, 1},
     {0, 0, 1, 0}, {1, 0, 1, 0}, {0, 0, 0, 0}, {0, 0, 1, 1},
     {0, 0, 0, 0}, {0, 0, 1, 1}, {0, 0, 0, 1}, {1, 0, 0, 1},
     {1, 0, 1, 0}, {0, 0, 0, 0}, {1, 0, 0, 0}, {1, 0, 0, 1},
     {1, 0, 1, 0}, {0, 0, 1, 1}, {1, 0, 1, 1}, {1, 0, 0, 1}},
    // z
    {{0, 1, 0, 0}, {1, 0, 0, 0}, {1, 1, 0, 1}, {0, 0, 0, 1},
     {1, 1, 0, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}, {1, 1, 0, 1},
     {1, 0, 0, 0}, {1, 1, 0, 1}, {1, 0, 0, 1}, {0, 0, 0, 1},
     {0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 1},
     {0, 1, 0, 0}, {1, 1, 0, 1}, {0, 1, 0, 1}, {0, 0, 0, 1}},
    // w
    {{1, 1, 0, 0}, {0, 0, 0, 0}, {0, 1, 1, 0}, {1, 0, 1, 0},
     {0, 1, 0, 0}, {1, 1, 0, 0}, {0, 0, 0, 0}, {0, 1, 1, 0},
     {0, 0, 0, 0}, {0, 1, 1, 0}, {0, 0, 1, 0}, {1, 0, 1, 0},
     {1, 1, 0, 0}, {0, 0, 0, 0}, {1, 0, 0, 0}, {1, 0, 1, 0},
     {1, 1, 0, 0}, {0, 1, 1, 0}, {1, 1, 1, 0}, {1, 0, 1, 0}},
};

enum FaceClass { FACE_TOP = 0, FACE_SIDE = 1, FACE_BOTTOM = 2 };

// Base tile column u0 of block id k (at index k - 1) for the top, side and bottom faces.
inline constexpr uint8_t blockTexCoords[14][3] = {
    {1, 3, 9},    {5, 7, 9},    {11, 13, 15}, {19, 21, 23}, {25, 27, 29},
    {17, 17, 17}, {31, 33, 35}, {37, 39, 41}, {43, 45, 47}, {49, 51, 57},
    {53, 55, 57}, {71, 73, 75}, {59, 61, 63}, {65, 67, 69},
};
inline constexpr int MAX_TEXTURED_BLOCK = 14;
// The face drawn under air at y 0.
inline constexpr uint8_t FLOOR_TEX_U0 = 17;
// Drawn for ids without a texture entry (only bad data holds them).
inline constexpr uint8_t FALLBACK_TEX_U0 = 77;

// u0 of an id and face class; ids outside 1..14 get the fallback tile.
constexpr uint8_t blockTexU0(uint8_t id, FaceClass face) {
    return id >= 1 && id <= MAX_TEXTURED_BLOCK ? blockTexCoords[id - 1][face] : FALLBACK_TEX_U0;
}

// The (b, 1 - a, 15 c) part of a face's 20 texture coordinates, (a, b, c) being the dy, dz, dw
// digits of the x table; u0 is added to the first component.
inline constexpr std::array<std::array<uint8_t, 3>, VERTICES_PER_FACE> faceTexPattern = [] {
    std::array<std::array<uint8_t, 3>, VERTICES_PER_FACE> p{};
    for (int k = 0; k < VERTICES_PER_FACE; ++k) {
        const uint8_t* d = cubeFaceTetrahedra[0][k];
        p[k] = {d[2], uint8_t(1 - d[1]), uint8_t(15 * d[3])};
    }
    return p;
}();
