#version 330 core
// One point per character: its byte value and its place in the line.
layout(location = 0) in int character;

flat out int glyph;
flat out int column;

void main() {
    glyph = character & 255;
    column = gl_VertexID;
    gl_Position = vec4(0.0, 0.0, 0.0, 1.0);
}
