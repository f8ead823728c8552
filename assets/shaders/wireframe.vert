#version 330 core
// A 4D edge vertex: into view space by "MV", drawn at its (x, y, z); its distance from the
// viewer's hyperplane (view w) goes on to fade the line.
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 colour;

uniform float MV[25];
uniform mat4 P;

out float vW;
out vec3 vColour;

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
    vec4 p = toView(position);
    vW = p.w;
    vColour = colour;
    gl_Position = P * vec4(p.xyz, 1.0);
}
