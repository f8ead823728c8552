#pragma once

// Every shape mesh of the game. They are built once before main, in the order of Shapes.cpp,
// hold no GL objects, and never change; users upload them into their own MeshRenderer.
#include "shapes/Dodecaplex.h"
#include "shapes/Hypersphere.h"
#include "shapes/KleinBottle.h"
#include "shapes/Polytopes.h"
#include "shapes/Skybox.h"
#include "shapes/Sphere.h"

// The builders of the 120-cell globals, also timed by the shape benchmark.
Dodecaplex makeLoadingDodecaplex();
Dodecaplex makeGreyDodecaplex();
DodecaplexWireframe makeDodecaplexWireframe();
std::array<Dodecaplex, SPIDER_PART_COUNT> makeSpiderPartMeshes();
