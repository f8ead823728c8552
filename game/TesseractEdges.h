#pragma once

#include <glm/vec4.hpp>

#include <array>

class MeshRenderer;

// The 32 edges of the tesseract with corners at +-1, as 64 endpoints in pairs: each edge joins
// two corners that differ in one coordinate. Drawn as lines around dropped items and chests.
extern const std::array<glm::vec4, 64> tesseractEdges;

// Uploads the edges into a renderer (earlier GL objects released) with draw mode GL_LINES.
void uploadTesseractEdges(MeshRenderer& renderer);
