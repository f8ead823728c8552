#version 330 core
// A body textured by its surface coordinates (u, v), as the sun.
in vec4 gData;
out vec4 fragColor;

uniform sampler2D texSampler;

void main() {
    fragColor = texture(texSampler, gData.xy);
}
