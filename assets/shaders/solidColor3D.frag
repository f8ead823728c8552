#version 330 core
// One colour, with its alpha, for everything drawn.
out vec4 fragColor;

uniform vec4 inColor;

void main() {
    fragColor = inColor;
}
