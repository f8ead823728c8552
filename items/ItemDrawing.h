#pragma once

#include "engine/BitmapText.h"
#include "engine/Math4D.h"
#include "engine/MeshRenderer.h"
#include "engine/SolidQuad.h"
#include "engine/TexturedQuad.h"

#include <glm/vec2.hpp>
#include <glm/vec4.hpp>

#include <string>

struct Shader;

// Drawing resources shared by the item kinds, built by Item::initRender.
namespace itemDrawing {

// Tools are modelled a few units across: in the hand, right before the eye, they are drawn at
// the size they have lying on the ground. Blocks have a held scale of their own, and each
// material a held fit (the rock and the bars take this size).
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
// Makes the registered shader `name` current for a draw of `model`; null, with nothing made
// current, when the shader is not registered or the model was never uploaded (the draw is then
// skipped: the title screen's world can show dropped items before the game screen built them).
Shader* useShaderFor(const char* name, const MeshRenderer& model);
// Draws the model of block id (1..14) under mv with "blockShader" and "tiles.png" on texture
// unit 2; nothing for an id without a model, or when the shader or the model is missing.
void drawBlockModel(int id, const Mat5& mv);
// Draws one line of text at scale 2 (16 x 16 pixels a glyph) with its top-left at (x, y).
void drawText(BitmapText& renderer, const std::string& string, int x, int y, glm::vec4 color);

}  // namespace itemDrawing
