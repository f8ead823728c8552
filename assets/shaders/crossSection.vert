#version 330 core
// A plane through a 3D scene (the forg's plane in the tutorial, the player's slice in the
// compass): positions in the plane view (MV2D, the plane is x = 0) to cut by, and in the
// camera's view (MV) to draw.
layout(location = 0) in vec3 position;

uniform mat4 MV2D;
uniform mat4 MV;

out vec4 planePos;
out vec4 cameraPos;

void main() {
    planePos = MV2D * vec4(position, 1.0);
    cameraPos = MV * vec4(position, 1.0);
}
