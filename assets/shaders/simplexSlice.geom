#version 330 core
// Cuts one tetrahedron by the viewer's hyperplane (view w = 0) and draws the cut, a triangle
// or a quad, in 3D. Vertices are split by one fixed rule (w > 0 against w <= 0) and every cut
// point is interpolated from the positive end, so neighbours meet without cracks.
layout(lines_adjacency) in;
layout(triangle_strip, max_vertices = 4) out;

uniform mat4 P;

in vec4 vView[];
in vec4 vData[];
out vec4 gData;

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
    gl_Position = P * vec4(p.xyz, 1.0);
    EmitVertex();
}

void main() {
    bool s0 = vView[0].w > 0.0, s1 = vView[1].w > 0.0;
    bool s2 = vView[2].w > 0.0, s3 = vView[3].w > 0.0;
    int aboveCount = int(s0) + int(s1) + int(s2) + int(s3);
    if (aboveCount == 0 || aboveCount == 4) return;
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
        // The quad's corners in strip order: around it they run 00, 01, 11, 10.
        emitCut(a0, b0);
        emitCut(a0, bLast);
        emitCut(aLast, b0);
        emitCut(aLast, bLast);
    }
    EndPrimitive();
}
