#version 330 core
// Cloud faces: byte positions of flat 4D faces (y is always 0), placed by the 5x5 "MV".
layout(location = 0) in vec4 position;

uniform float MV[25];  // column-major, translation in column 4

out vec4 vView;
out vec4 vData;

void main() {
    float p[5];
    for (int r = 0; r < 5; ++r)
        p[r] = MV[r] * position.x + MV[5 + r] * position.y + MV[10 + r] * position.z +
               MV[15 + r] * position.w + MV[20 + r];
    // The last row of an affine transform is (0, 0, 0, 0, 1): p[4] is 1.
    vView = vec4(p[0], p[1], p[2], p[3]) / p[4];
    vData = vec4(1.0);
}
