#version 330 core
// simplexSlice.geom plus the tetrahedron's normal: its four components arrive one per vertex,
// are put together here and carried into view space for the lighting.
layout(lines_adjacency) in;
layout(triangle_strip, max_vertices = 4) out;

uniform mat4 P;
uniform float MV[25];

in vec4 vView[];
in vec4 vData[];
in float vNormal[];
out vec4 gData;
flat out vec4 gNormal;

// Byte normals store -1 as 255; fold such values back.
float signedComponent(float c) {
    return c > 127.5 ? c - 256.0 : c;
}

vec4 viewNormal() {
    vec4 n = vec4(signedComponent(vNormal[0]), signedComponent(vNormal[1]),
                  signedComponent(vNormal[2]), signedComponent(vNormal[3]));
    mat4 linear = mat4(MV[0], MV[1], MV[2], MV[3], MV[5], MV[6], MV[7], MV[8],
                       MV[10], MV[11], MV[12], MV[13], MV[15], MV[16], MV[17], MV[18]);
    // Normals follow the inverse transpose, so scaled models keep their shading.
    vec4 v = transpose(inverse(linear)) * n;
    float len = length(v);
    return len > 0.0 ? v / len : vec4(0.0);
}

vec4 normal;

// The vertex's view position and data, picked by selection: the software renderer handles
// arrays indexed by variables slowly, and runs this stage for every tetrahedron on the thread
// that draws.
vec4 viewOf(int i) {
    return i == 0 ? vView[0] : i == 1 ? vView[1] : i == 2 ? vView[2] : vView[3];
}
vec4 dataOf(int i) {
    return i == 0 ? vData[0] : i == 1 ? vData[1] : i == 2 ? vData[2] : vData[3];
}

// The lowest and the highest vertex index in a non-empty set of vertices (bit i: vertex i).
int lowest(int set) {
    return (set & 1) != 0 ? 0 : (set & 2) != 0 ? 1 : (set & 4) != 0 ? 2 : 3;
}
int highest(int set) {
    return (set & 8) != 0 ? 3 : (set & 4) != 0 ? 2 : (set & 2) != 0 ? 1 : 0;
}

void emitCut(int above, int below) {
    vec4 va = viewOf(above), vb = viewOf(below);
    float t = va.w / (va.w - vb.w);
    vec4 p = mix(va, vb, t);
    gData = mix(dataOf(above), dataOf(below), t);
    gNormal = normal;
    gl_Position = P * vec4(p.xyz, 1.0);
    EmitVertex();
}

void main() {
    bool s0 = vView[0].w > 0.0, s1 = vView[1].w > 0.0;
    bool s2 = vView[2].w > 0.0, s3 = vView[3].w > 0.0;
    int aboveCount = int(s0) + int(s1) + int(s2) + int(s3);
    if (aboveCount == 0 || aboveCount == 4) return;
    normal = viewNormal();
    // Within each side the vertices go by index: the lowest and the highest are found
    // directly, the middle one of three is what is left of 0 + 1 + 2 + 3.
    int above = int(s0) | int(s1) << 1 | int(s2) << 2 | int(s3) << 3;
    int below = ~above & 15;
    int a0 = lowest(above), aLast = highest(above);
    int b0 = lowest(below), bLast = highest(below);
    if (aboveCount == 1) {
        emitCut(a0, b0);
        emitCut(a0, 6 - a0 - b0 - bLast);
        emitCut(a0, bLast);
    } else if (aboveCount == 3) {
        emitCut(a0, b0);
        emitCut(6 - b0 - a0 - aLast, b0);
        emitCut(aLast, b0);
    } else {
        emitCut(a0, b0);
        emitCut(a0, bLast);
        emitCut(aLast, b0);
        emitCut(aLast, bLast);
    }
    EndPrimitive();
}
