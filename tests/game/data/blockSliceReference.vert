#version 330 core
// The block shader's vertex stage as first written: byte positions in block units and
// texture coordinates (u, v, layer), from vertex attributes only.
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 texCoord;

// 4D model-view, column-major 5x5 (translation in the last column).
uniform float MV[25];

out vec4 viewPos;
out vec3 vertTexCoord;
out vec4 modelPos;

void main() {
    vec4 p;
    for (int r = 0; r < 4; ++r)
        p[r] = MV[r] * position.x + MV[5 + r] * position.y + MV[10 + r] * position.z +
               MV[15 + r] * position.w + MV[20 + r];
    // The last row is (0, 0, 0, 0, 1) for every affine transform; dividing by it keeps the
    // whole matrix in use.
    float h = MV[4] * position.x + MV[9] * position.y + MV[14] * position.z +
              MV[19] * position.w + MV[24];
    viewPos = p / h;
    vertTexCoord = texCoord;
    modelPos = position;
}
