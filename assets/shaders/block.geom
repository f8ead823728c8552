#version 330 core
// Cuts one tetrahedron with the view hyperplane w = 0 and emits the cut: a triangle when one
// or three vertices lie on the positive side, a quad when two do. Vertices are classified by
// one fixed rule (w > 0 against w <= 0) and every cut point is interpolated from its positive
// end, so tetrahedra that share an edge produce the same point there and leave no crack.
layout(lines_adjacency) in;
layout(triangle_strip, max_vertices = 4) out;

uniform mat4 P;

in vec4 viewPos[];
in vec3 vertTexCoord[];
in vec4 modelPos[];

out vec3 texCoord;
flat out float tileU0;
flat out float shade;

vec4 pos[4];
vec3 tex[4];
float tileOfTetrahedron;
float shadeOfTetrahedron;

void emitCut(int a, int b) {
    float t = pos[a].w / (pos[a].w - pos[b].w);
    vec4 p = mix(pos[a], pos[b], t);
    texCoord = mix(tex[a], tex[b], t);
    tileU0 = tileOfTetrahedron;
    shade = shadeOfTetrahedron;
    gl_Position = P * vec4(p.xyz, 1.0);
    EmitVertex();
}

// Faces are lit by the axis they face: the axis along which the tetrahedron is flat.
float faceShade() {
    vec4 lo = min(min(modelPos[0], modelPos[1]), min(modelPos[2], modelPos[3]));
    vec4 hi = max(max(modelPos[0], modelPos[1]), max(modelPos[2], modelPos[3]));
    vec4 extent = hi - lo;
    if (extent.y == 0.0) return 1.0;
    if (extent.x == 0.0) return 0.86;
    if (extent.z == 0.0) return 0.74;
    return 0.93;
}

void main() {
    int positive[4];
    int other[4];
    int np = 0;
    int no = 0;
    for (int i = 0; i < 4; ++i) {
        pos[i] = viewPos[i];
        tex[i] = vertTexCoord[i];
        if (pos[i].w > 0.0)
            positive[np++] = i;
        else
            other[no++] = i;
    }
    if (np == 0 || np == 4) return;

    // Every face spans u0 .. u0 + 1, so the smallest u of a tetrahedron is its tile column.
    tileOfTetrahedron = floor(min(min(tex[0].x, tex[1].x), min(tex[2].x, tex[3].x)) + 0.001);
    shadeOfTetrahedron = faceShade();

    if (np == 1) {
        emitCut(positive[0], other[0]);
        emitCut(positive[0], other[1]);
        emitCut(positive[0], other[2]);
    } else if (np == 3) {
        emitCut(positive[0], other[0]);
        emitCut(positive[1], other[0]);
        emitCut(positive[2], other[0]);
    } else {
        emitCut(positive[0], other[0]);
        emitCut(positive[0], other[1]);
        emitCut(positive[1], other[0]);
        emitCut(positive[1], other[1]);
    }
    EndPrimitive();
}
