#version 330 core
in vec2 fragUv;
in vec4 fragColor;

uniform sampler2D tex;

out vec4 outColor;

void main() {
    outColor = texture(tex, fragUv) * fragColor;
}
