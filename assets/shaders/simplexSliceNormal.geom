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

void emitCut(int above, int below) {
    float t = vView[above].w / (vView[above].w - vView[below].w);
    vec4 p = mix(vView[above], vView[below], t);
    gData = mix(vData[above], vData[below], t);
    gNormal = normal;
    gl_Position = P * vec4(p.xyz, 1.0);
    EmitVertex();
}

void main() {
    int above[4];
    int below[4];
    int aboveCount = 0;
    int belowCount = 0;
    for (int i = 0; i < 4; ++i) {
        if (vView[i].w > 0.0) {
            above[aboveCount] = i;
            aboveCount += 1;
        } else {
            below[belowCount] = i;
            belowCount += 1;
        }
    }
    if (aboveCount == 0 || belowCount == 0) return;
    normal = viewNormal();
    if (aboveCount == 1) {
        emitCut(above[0], below[0]);
        emitCut(above[0], below[1]);
        emitCut(above[0], below[2]);
    } else if (belowCount == 1) {
        emitCut(above[0], below[0]);
        emitCut(above[1], below[0]);
        emitCut(above[2], below[0]);
    } else {
        emitCut(above[0], below[0]);
        emitCut(above[0], below[1]);
        emitCut(above[1], below[0]);
        emitCut(above[1], below[1]);
    }
    EndPrimitive();
}
