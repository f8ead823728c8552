#version 330 core
// Lines fade out with their distance from the viewer's hyperplane, gone at "wFar".
in float vW;
out vec4 fragColor;

uniform vec4 inColor;
uniform float wFar;

void main() {
    float fade = clamp(1.0 - abs(vW) / max(wFar, 1e-6), 0.0, 1.0);
    if (fade <= 0.0) discard;
    fragColor = vec4(inColor.rgb, inColor.a * fade);
}
