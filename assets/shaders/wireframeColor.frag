#version 330 core
// Coloured lines fading with their distance from the viewer's hyperplane, gone at "wFar".
in float vW;
in vec3 vColour;
out vec4 fragColor;

uniform float wFar;

void main() {
    float fade = clamp(1.0 - abs(vW) / max(wFar, 1e-6), 0.0, 1.0);
    if (fade <= 0.0) discard;
    fragColor = vec4(vColour, fade);
}
