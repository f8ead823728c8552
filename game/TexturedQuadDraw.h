#pragma once

class TexturedQuad;

// Draws a quad of the game screen (the crosshair, the health vial): texture unit 0, the quad's
// shader, texture and vertex array, six indices as triangles. Nothing while it is incomplete.
void drawTexturedQuad(const TexturedQuad& quad);
