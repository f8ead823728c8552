#version 330 core
// Expands each character point into its glyph quad. Character i covers charSize.x pixels from
// i * charSize.x to the right of the model origin and charSize.y pixels downward. The font image
// is a 16 x 16 grid of cells indexed by byte value, row by row from the top left.
layout(points) in;
layout(triangle_strip, max_vertices = 4) out;

flat in int glyph[];
flat in int column[];

uniform mat4 P;
uniform mat4 MV;
uniform ivec2 charSize;

out vec2 fragUv;

void corner(vec2 offset) {
    vec2 pixel = vec2(float(column[0]) + offset.x, offset.y) * vec2(charSize);
    vec2 cell = vec2(float(glyph[0] % 16), float(glyph[0] / 16));
    fragUv = (cell + offset) / 16.0;
    gl_Position = P * MV * vec4(pixel, 0.0, 1.0);
    EmitVertex();
}

void main() {
    corner(vec2(0.0, 0.0));
    corner(vec2(0.0, 1.0));
    corner(vec2(1.0, 0.0));
    corner(vec2(1.0, 1.0));
    EndPrimitive();
}
