#version 330 core
// A textured unit square placed by a per-draw model matrix, in window pixels.
layout(location = 0) in vec2 corner;
layout(location = 1) in vec2 uv;
layout(location = 2) in vec4 color;
layout(location = 3) in mat4 model;

uniform mat4 P;

out vec2 fragUv;
out vec4 fragColor;

void main() {
    fragUv = uv;
    fragColor = color;
    gl_Position = P * model * vec4(corner, 0.0, 1.0);
}
