#pragma once

#include "shapes/ShapeMesh.h"

// The unit 3-sphere (the boundary of the 4D ball) as tetrahedra: n - 1 layers of 2-spheres
// stacked along w, joined cell by cell and closed by the two poles. The solid kind fills each
// cell; the hollow kind replaces every cell by a shell around an empty core. The second
// attribute holds surface coordinates (u, v, layer) in 0..1.
class Hypersphere : public ShapeMesh {
public:
    explicit Hypersphere(int n);                 // solid cells
    Hypersphere(int n, float wallFraction);      // hollow cells

    // Appends layer L's cap triangles (3 vertices each) and band quads (4 vertices each).
    static void buildLayer(MeshData& triangles, MeshData& quads, int layer, const AngleTable& angles);
    // Shell pieces of the hollow kind, corners taken by index from the outer and inner lists.
    void addPrism(const MeshData& outer, const MeshData& inner, int i, int j, int k);
    void addCube(const MeshData& outer, const MeshData& inner, int a, int b, int c, int d);

private:
    void build(int n, bool hollow, float wallFraction);
};

extern Hypersphere hollowHypersphereMesh;  // n = 6, wall fraction 0.2
extern Hypersphere hypersphereMesh;        // n = 24, solid
