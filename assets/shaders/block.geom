#version 330 core
// Cuts one tetrahedron with the view hyperplane w = 0 and emits the cut: a triangle when one
// or three vertices lie on the positive side, a quad when two do. Vertices are classified by
// one fixed rule (w > 0 against w <= 0) and every cut point is interpolated from its positive
// end, so tetrahedra that share an edge produce the same point there and leave no crack.
// Neighbouring block faces split their shared squares along different diagonals, so their cuts
// meet in T-junctions, where rounding opens hairline gaps: each cut is widened by a small
// fraction of a pixel to close them.
//
// The software renderer runs this stage for every submitted tetrahedron on the thread that
// draws, several tetrahedra side by side: so it picks vertices and corners with selections and
// named values rather than arrays indexed by variables, which that renderer handles slowly.
layout(lines_adjacency) in;
layout(triangle_strip, max_vertices = 4) out;

uniform mat4 P;
uniform sampler2D texSampler;
uniform uvec2 texSize;

in vec4 viewPos[];
in vec3 vertTexCoord[];
in vec4 modelPos[];

out vec3 texCoord;
flat out float tileU0;
flat out float shade;
// The atlas's tiles in texels, worked out here once a tetrahedron: an integer division in the
// fragment stage costs the software renderer one for every fragment.
flat out ivec2 tilePixels;

// How far each edge of a cut moves outward, as a fraction of its distance from the eye
// (about a tenth of a pixel at the game's resolution).
const float WIDEN = 2e-4;

vec4 pos(int i) {
    return i == 0 ? viewPos[0] : i == 1 ? viewPos[1] : i == 2 ? viewPos[2] : viewPos[3];
}

vec3 tex(int i) {
    return i == 0 ? vertTexCoord[0]
                  : i == 1 ? vertTexCoord[1] : i == 2 ? vertTexCoord[2] : vertTexCoord[3];
}

// Where edge a-b meets the hyperplane, a being the positive end: the point and its texture
// coordinate.
void cut(int a, int b, out vec3 point, out vec3 texture) {
    vec4 pa = pos(a), pb = pos(b);
    float t = pa.w / (pa.w - pb.w);
    point = mix(pa, pb, t).xyz;
    texture = mix(tex(a), tex(b), t);
}

// Unit vector in the cut's plane, across edge e, pointing away from the inside.
vec3 outward(vec3 e, vec3 normal, vec3 towardInside) {
    vec3 m = cross(e, normal);
    float len = length(m);
    if (len < 1e-12) return vec3(0.0);
    m /= len;
    return dot(m, towardInside) > 0.0 ? -m : m;
}

// Moves both edges at a corner outward by the same distance; sharp corners are capped.
vec3 widenedCorner(vec3 corner, vec3 before, vec3 after, vec3 centre, vec3 normal) {
    vec3 m1 = outward(corner - before, normal, centre - corner);
    vec3 m2 = outward(after - corner, normal, centre - corner);
    vec3 shift = (m1 + m2) / max(1.0 + dot(m1, m2), 0.25);
    return corner + shift * (WIDEN * length(corner));
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

// The lowest and the highest vertex index in a non-empty set of vertices (bit i: vertex i).
int lowest(int set) {
    return (set & 1) != 0 ? 0 : (set & 2) != 0 ? 1 : (set & 4) != 0 ? 2 : 3;
}
int highest(int set) {
    return (set & 8) != 0 ? 3 : (set & 4) != 0 ? 2 : (set & 2) != 0 ? 1 : 0;
}

void emitCorner(vec3 corner, vec3 texture, float tile, float light, ivec2 pixels) {
    texCoord = texture;
    tileU0 = tile;
    shade = light;
    tilePixels = pixels;
    gl_Position = P * vec4(corner, 1.0);
    EmitVertex();
}

void main() {
    bool s0 = viewPos[0].w > 0.0, s1 = viewPos[1].w > 0.0;
    bool s2 = viewPos[2].w > 0.0, s3 = viewPos[3].w > 0.0;
    int np = int(s0) + int(s1) + int(s2) + int(s3);
    if (np == 0 || np == 4) return;
    int positive = int(s0) | int(s1) << 1 | int(s2) << 2 | int(s3) << 3;
    int other = ~positive & 15;

    // The cut's corners in order around it: from the lone vertex to the three others (one or
    // three positive), or around the quad between the two pairs (two positive). Within each
    // side the vertices go by index: the lowest and the highest are found directly, the middle
    // one of three is what is left of 0 + 1 + 2 + 3.
    int p0 = lowest(positive), pLast = highest(positive);
    int o0 = lowest(other), oLast = highest(other);
    int a0, b0, a1, b1, a2, b2, a3 = pLast, b3 = o0;
    if (np == 1) {
        a0 = p0; b0 = o0;
        a1 = p0; b1 = 6 - p0 - o0 - oLast;
        a2 = p0; b2 = oLast;
    } else if (np == 3) {
        a0 = p0; b0 = o0;
        a1 = 6 - o0 - p0 - pLast; b1 = o0;
        a2 = pLast; b2 = o0;
    } else {
        a0 = p0; b0 = o0;
        a1 = p0; b1 = oLast;
        a2 = pLast; b2 = oLast;
    }
    bool quad = np == 2;
    vec3 c0, c1, c2, c3, t0, t1, t2, t3;
    cut(a0, b0, c0, t0);
    cut(a1, b1, c1, t1);
    cut(a2, b2, c2, t2);
    cut(a3, b3, c3, t3);

    vec3 centre = vec3(0.0);
    centre += c0;
    centre += c1;
    centre += c2;
    if (quad) centre += c3;
    centre /= quad ? 4.0 : 3.0;
    vec3 last = quad ? c3 : c2;
    vec3 normal = cross(c1 - c0, last - c0);

    // Every face spans u0 .. u0 + 1, so the smallest u of a tetrahedron is its tile column.
    float tile = floor(min(min(vertTexCoord[0].x, vertTexCoord[1].x),
                           min(vertTexCoord[2].x, vertTexCoord[3].x)) + 0.001);
    float light = faceShade();
    ivec2 pixels = textureSize(texSampler, 0) / ivec2(max(texSize, uvec2(1u)));
    // A triangle strip through corners 0, 1, 3, 2 covers the quad 0-1-2-3.
    emitCorner(widenedCorner(c0, last, c1, centre, normal), t0, tile, light, pixels);
    emitCorner(widenedCorner(c1, c0, c2, centre, normal), t1, tile, light, pixels);
    if (quad) emitCorner(widenedCorner(c3, c2, c0, centre, normal), t3, tile, light, pixels);
    emitCorner(widenedCorner(c2, c1, quad ? c3 : c0, centre, normal), t2, tile, light, pixels);
    EndPrimitive();
}
