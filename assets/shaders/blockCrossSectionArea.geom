#version 330 core
// Cuts one tetrahedron of the cube by the section plane and draws the cut, a triangle or a
// quad, placed by "MV". Vertices are split by one fixed rule (side > 0 against side <= 0) and
// every cut point is interpolated from the positive end, so neighbours meet without cracks.
layout(lines_adjacency) in;
layout(triangle_strip, max_vertices = 4) out;

uniform mat4 MV;
uniform mat4 P;

in vec3 vModel[];
in float vSide[];

void emitCut(int above, int below) {
    float t = vSide[above] / (vSide[above] - vSide[below]);
    gl_Position = P * MV * vec4(mix(vModel[above], vModel[below], t), 1.0);
    EmitVertex();
}

void main() {
    int above[4];
    int below[4];
    int aboveCount = 0;
    int belowCount = 0;
    for (int i = 0; i < 4; ++i) {
        if (vSide[i] > 0.0) {
            above[aboveCount] = i;
            aboveCount += 1;
        } else {
            below[belowCount] = i;
            belowCount += 1;
        }
    }
    if (aboveCount == 0 || belowCount == 0) return;
    if (aboveCount == 1) {
        emitCut(above[0], below[0]);
        emitCut(above[0], below[1]);
        emitCut(above[0], below[2]);
    } else if (belowCount == 1) {
        emitCut(above[0], below[0]);
        emitCut(above[1], below[0]);
        emitCut(above[2], below[0]);
    } else {
        // The quad's corners in strip order: around it they run 00, 01, 11, 10.
        emitCut(above[0], below[0]);
        emitCut(above[0], below[1]);
        emitCut(above[1], below[0]);
        emitCut(above[1], below[1]);
    }
    EndPrimitive();
}
