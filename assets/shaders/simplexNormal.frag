#version 330 core
// Shows the view-space normal's x, y, z as a colour.
flat in vec4 gNormal;
out vec4 fragColor;

void main() {
    fragColor = vec4(0.5 + 0.5 * gNormal.xyz, 1.0);
}
