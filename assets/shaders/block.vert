#version 330 core
// Chunk sections and block models: byte positions in block units, texture (u, v, layer).
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 texCoord;

// 4D model-view, column-major 5x5 (translation in the last column).
uniform float MV[25];
// Chunk sections come without attributes: one record a face in a buffer texture (bits: lowest
// corner x 0-3, y 4-11, z 12-15, w 16-19, axis 20-21, tile column 22-29), expanded here into
// the face's twenty vertices, exactly the values the face tables give the attributes. The draw
// lists the tetrahedra it submits, each by the index of its first vertex in the section.
uniform bool fromFaceRecords;
uniform usamplerBuffer sectionFaces;
uniform usamplerBuffer sectionTetrahedra;

out vec4 viewPos;
out vec3 vertTexCoord;
out vec4 modelPos;

const int VERTICES_PER_FACE = 20;

// Bit k of each mask is a digit of vertex k of the face tables, one mask a coordinate (x, y,
// z, w), for faces along x, y, z and w.
const uvec4 X_FACE = uvec4(0x00000u, 0x712B5u, 0xDD829u, 0xE8E8Cu);
const uvec4 Y_FACE = uvec4(0xDD829u, 0x00000u, 0x712B5u, 0xE8E8Cu);
const uvec4 Z_FACE = uvec4(0x227D6u, 0x712B5u, 0x00000u, 0xE8E8Cu);
const uvec4 W_FACE = uvec4(0xDD829u, 0x712B5u, 0xE8E8Cu, 0x00000u);

void fromRecord(out vec4 corner, out vec3 tex) {
    int vertex = int(texelFetch(sectionTetrahedra, gl_VertexID >> 2).r) + (gl_VertexID & 3);
    int face = vertex / VERTICES_PER_FACE;
    uint k = uint(vertex - face * VERTICES_PER_FACE);
    uint record = texelFetch(sectionFaces, face).r;
    uvec4 lowest = uvec4(record, record >> 4, record >> 12, record >> 16) & uvec4(15u, 255u, 15u, 15u);
    uint axis = (record >> 20) & 3u;
    uvec4 masks = axis == 0u ? X_FACE : axis == 1u ? Y_FACE : axis == 2u ? Z_FACE : W_FACE;
    corner = vec4(lowest + ((masks >> k) & 1u));
    // Every face is textured as the x table places its vertices: (u0 + dz, 1 - dy, 15 dw).
    uvec3 digits = (uvec3(X_FACE.z, X_FACE.y, X_FACE.w) >> k) & 1u;
    tex = vec3(float((record >> 22) & 255u) + float(digits.x), 1.0 - float(digits.y),
               15.0 * float(digits.z));
}

void main() {
    vec4 vertex = position;
    vec3 tex = texCoord;
    if (fromFaceRecords) fromRecord(vertex, tex);
    vec4 p;
    for (int r = 0; r < 4; ++r)
        p[r] = MV[r] * vertex.x + MV[5 + r] * vertex.y + MV[10 + r] * vertex.z +
               MV[15 + r] * vertex.w + MV[20 + r];
    // The last row is (0, 0, 0, 0, 1) for every affine transform; dividing by it keeps the
    // whole matrix in use.
    float h = MV[4] * vertex.x + MV[9] * vertex.y + MV[14] * vertex.z +
              MV[19] * vertex.w + MV[24];
    viewPos = p / h;
    vertTexCoord = tex;
    modelPos = vertex;
}
