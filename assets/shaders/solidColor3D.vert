#version 330 core
// A 3D vertex of the compass diagram, placed by "MV" and projected by "P".
layout(location = 0) in vec3 position;

uniform mat4 MV;
uniform mat4 P;

void main() {
    gl_Position = P * MV * vec4(position, 1.0);
}
