#version 330 core
// Where one face triangle of the cube crosses the section plane: the segment between the two
// crossed edges, placed by "MV". Together the faces draw the outline of the cut.
layout(triangles) in;
layout(line_strip, max_vertices = 2) out;

uniform mat4 MV;
uniform mat4 P;

in vec3 vModel[];
in float vSide[];

void emitCut(int a, int b) {
    float t = vSide[a] / (vSide[a] - vSide[b]);
    gl_Position = P * MV * vec4(mix(vModel[a], vModel[b], t), 1.0);
    EmitVertex();
}

void main() {
    // The vertex alone on its side of the plane (side > 0 against side <= 0) starts both
    // crossed edges.
    bool positive[3] = bool[3](vSide[0] > 0.0, vSide[1] > 0.0, vSide[2] > 0.0);
    for (int i = 0; i < 3; ++i) {
        int j = (i + 1) % 3;
        int k = (i + 2) % 3;
        if (positive[i] != positive[j] && positive[i] != positive[k]) {
            emitCut(i, j);
            emitCut(i, k);
            EndPrimitive();
            return;
        }
    }
}
