#version 330 core
in vec4 fragColor;

out vec4 outColor;

void main() {
    outColor = fragColor;
}
