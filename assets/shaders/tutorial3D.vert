#version 330 core
// The tutorial's 3D view: block faces and the forg's billboard, byte positions in block units
// and texture corners in cells of a texSize grid.
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 cell;

uniform mat4 MVP;
uniform uvec2 texSize;

out vec2 uv;
out vec3 modelPos;

void main() {
    uv = cell / vec2(max(texSize, uvec2(1u)));
    modelPos = position;
    gl_Position = MVP * vec4(position, 1.0);
}
