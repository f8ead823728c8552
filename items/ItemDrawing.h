#pragma once

#include "engine/BitmapText.h"
#include "engine/SolidQuad.h"
#include "engine/TexturedQuad.h"

#include <glm/vec2.hpp>

// Drawing resources shared by the item kinds, built by Item::initRender.
namespace itemDrawing {

// Block icons: "items.png" with "tex2DShader".
extern TexturedQuad blockSprite;
// Stack counts and tooltips: "pixelfont.png" with "textShader".
extern BitmapText text;
// The tooltip box: "quadShader".
extern SolidQuad tooltipBox;

// Makes a quad over "items.png" drawn with "tex2DShader" (left uninitialised when either is
// missing).
void initAtlasQuad(TexturedQuad& quad);
// Draws the atlas cell at (texX, texY) into the 70 x 72 rectangle at pos.
void drawAtlasCell(TexturedQuad& quad, unsigned texX, unsigned texY, const glm::ivec2& pos);

}  // namespace itemDrawing
