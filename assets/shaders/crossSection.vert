#version 330 core
// The forg's plane in the tutorial's 3D view: positions in the plane view (MV2D, the plane is
// x = 0) to cut by, and in the camera's view (MV) to draw.
layout(location = 0) in vec3 position;

uniform mat4 MV2D;
uniform mat4 MV;

out vec4 planePos;
out vec4 cameraPos;

void main() {
    planePos = MV2D * vec4(position, 1.0);
    cameraPos = MV * vec4(position, 1.0);
}
