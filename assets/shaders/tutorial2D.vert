#version 330 core
// The tutorial's 2D view: the tetrahedra of every block, in the forg's plane view (MV2D: the
// plane is x = 0, his walking direction -z, up +y). Texture coordinates (u, v, layer).
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 texCoord;

uniform mat4 MV2D;

out vec4 viewPos;
out vec3 vertTexCoord;

void main() {
    viewPos = MV2D * vec4(position, 1.0);
    vertTexCoord = texCoord;
}
