#pragma once

#include "engine/BitmapText.h"
#include "engine/SolidQuad.h"
#include "engine/TexturedQuad.h"

#include <glm/vec2.hpp>
#include <glm/vec4.hpp>

#include <string>

// Drawing resources shared by the item kinds, built by Item::initRender.
namespace itemDrawing {

// Tools and materials are modelled a few units across: in the hand, right before the eye, they
// are drawn at the size they have lying on the ground (blocks have a held scale of their own).
inline constexpr float heldModelScale = 0.2f;

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
// Draws one line of text at scale 2 (16 x 16 pixels a glyph) with its top-left at (x, y).
void drawText(BitmapText& renderer, const std::string& string, int x, int y, glm::vec4 color);

}  // namespace itemDrawing
