#version 330 core
// A tetrahedron vertex: 4D position into view space by the 5x5 "MV"; the second attribute
// (a colour, or surface or texture coordinates) rides along to the slicing stage.
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 second;

uniform float MV[25];  // column-major, translation in column 4

out vec4 vView;
out vec4 vData;

// The whole 5x5 product with (p, 1); row 4 is (0, 0, 0, 0, 1) for every transform the game
// builds, so the divide changes nothing then.
vec4 toView(vec4 p) {
    float row[5];
    for (int r = 0; r < 5; ++r)
        row[r] = MV[r] * p.x + MV[5 + r] * p.y + MV[10 + r] * p.z + MV[15 + r] * p.w + MV[20 + r];
    vec4 result = vec4(row[0], row[1], row[2], row[3]);
    return row[4] != 0.0 ? result / row[4] : result;
}

void main() {
    vView = toView(position);
    vData = vec4(second, 1.0);
}
