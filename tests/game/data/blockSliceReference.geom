#version 330 core
// Cuts one tetrahedron with the view hyperplane w = 0 and emits the cut: a triangle when one
// or three vertices lie on the positive side, a quad when two do. Vertices are classified by
// one fixed rule (w > 0 against w <= 0) and every cut point is interpolated from its positive
// end, so tetrahedra that share an edge produce the same point there and leave no crack.
// Neighbouring block faces split their shared squares along different diagonals, so their cuts
// meet in T-junctions, where rounding opens hairline gaps: each cut is widened by a small
// fraction of a pixel to close them.
layout(lines_adjacency) in;
layout(triangle_strip, max_vertices = 4) out;

uniform mat4 P;

in vec4 viewPos[];
in vec3 vertTexCoord[];
in vec4 modelPos[];

out vec3 texCoord;
flat out float tileU0;
flat out float shade;

// How far each edge of a cut moves outward, as a fraction of its distance from the eye
// (about a tenth of a pixel at the game's resolution).
const float WIDEN = 2e-4;

vec4 pos[4];
vec3 tex[4];
// The cut's corners in order around it.
vec3 cutPos[4];
vec3 cutTex[4];
int cutCount;

void addCut(int a, int b) {
    float t = pos[a].w / (pos[a].w - pos[b].w);
    cutPos[cutCount] = mix(pos[a], pos[b], t).xyz;
    cutTex[cutCount] = mix(tex[a], tex[b], t);
    ++cutCount;
}

// Unit vector in the cut's plane, across edge e, pointing away from the inside.
vec3 outward(vec3 e, vec3 normal, vec3 towardInside) {
    vec3 m = cross(e, normal);
    float len = length(m);
    if (len < 1e-12) return vec3(0.0);
    m /= len;
    return dot(m, towardInside) > 0.0 ? -m : m;
}

// Moves both edges at each corner outward by the same distance; sharp corners are capped.
vec3 widenedCorner(int i, vec3 centre, vec3 normal) {
    vec3 before = cutPos[(i + cutCount - 1) % cutCount];
    vec3 after = cutPos[(i + 1) % cutCount];
    vec3 m1 = outward(cutPos[i] - before, normal, centre - cutPos[i]);
    vec3 m2 = outward(after - cutPos[i], normal, centre - cutPos[i]);
    vec3 shift = (m1 + m2) / max(1.0 + dot(m1, m2), 0.25);
    return cutPos[i] + shift * (WIDEN * length(cutPos[i]));
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

    cutCount = 0;
    if (np == 1) {
        addCut(positive[0], other[0]);
        addCut(positive[0], other[1]);
        addCut(positive[0], other[2]);
    } else if (np == 3) {
        addCut(positive[0], other[0]);
        addCut(positive[1], other[0]);
        addCut(positive[2], other[0]);
    } else {
        addCut(positive[0], other[0]);
        addCut(positive[0], other[1]);
        addCut(positive[1], other[1]);
        addCut(positive[1], other[0]);
    }

    vec3 centre = vec3(0.0);
    for (int i = 0; i < cutCount; ++i) centre += cutPos[i];
    centre /= float(cutCount);
    vec3 normal = cross(cutPos[1] - cutPos[0], cutPos[cutCount - 1] - cutPos[0]);

    // Every face spans u0 .. u0 + 1, so the smallest u of a tetrahedron is its tile column.
    float tile = floor(min(min(tex[0].x, tex[1].x), min(tex[2].x, tex[3].x)) + 0.001);
    float light = faceShade();
    // A triangle strip through corners 0, 1, 3, 2 covers the quad 0-1-2-3.
    int strip[4] = int[4](0, 1, cutCount == 4 ? 3 : 2, 2);
    for (int k = 0; k < cutCount; ++k) {
        int i = strip[k];
        texCoord = cutTex[i];
        tileU0 = tile;
        shade = light;
        gl_Position = P * vec4(widenedCorner(i, centre, normal), 1.0);
        EmitVertex();
    }
    EndPrimitive();
}
