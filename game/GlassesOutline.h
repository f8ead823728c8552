#pragma once

#include "engine/Math4D.h"

#include <glm/vec4.hpp>

class MeshRenderer;

// What the 4D glasses show around dropped items, chests and creatures: the lines of `outline`
// under mv in one colour, fading out 8 units off the viewer's hyperplane ("wireframeShader").
// Skipped when the outline was never uploaded or the shader is missing.
void drawGlassesOutline(const MeshRenderer& outline, const Mat5& mv, const glm::vec4& colour);
