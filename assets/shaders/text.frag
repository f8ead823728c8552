#version 330 core
in vec2 fragUv;

uniform sampler2D font;
uniform vec4 inColor;

out vec4 outColor;

void main() {
    vec4 texel = texture(font, fragUv);
    // Only the glyph's own pixels are drawn, so text needs no blending and writes no depth
    // between its strokes.
    if (texel.a < 0.5) discard;
    outColor = inColor * texel;
}
