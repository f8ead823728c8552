#version 330 core
uniform vec4 inColor;

out vec4 color;

void main() {
    color = inColor;
}
