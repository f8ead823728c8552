#pragma once

#include "shapes/ShapeMesh.h"

// The solid unit 3-ball of the hyperplane z = 0 (axis along w) as tetrahedra: 23 discs of 48
// fan triangles stacked along w, joined by prisms and closed by the two poles. The second
// attribute holds surface coordinates (u, v, depth) in 0..1. Drawn as the sun and the moon.
class Sphere : public ShapeMesh {
public:
    Sphere();
    // Appends the 48 triangles (3 vertices each) of disc k, 1 <= k <= 23.
    static void addDisc(int k, MeshData& disc, const float* sines, const float* cosines);
};

extern Sphere sphereMesh;
