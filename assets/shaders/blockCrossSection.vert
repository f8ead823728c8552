#version 330 core
// A vertex of the compass's unit cube and its side of the section plane: the plane x = 0 of
// the section view "MV2D", which holds the player's facing and side directions.
layout(location = 0) in vec3 position;

uniform mat4 MV2D;

out vec3 vModel;
out float vSide;

void main() {
    vModel = position;
    vSide = (MV2D * vec4(position, 1.0)).x;
}
