#pragma once

#include <glm/vec4.hpp>

// glm's four-dimensional simplex noise (glm::simplex of a vec4): the same value, bit for bit,
// for every input, several times faster. Terrain is generated from this noise and stored worlds
// hold only the chunks that were edited, so a value that differed in its last bit would move
// caves against the stored chunks.
float simplexNoise(const glm::vec4& v);
