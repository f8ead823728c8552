#version 330 core
// The part of the plane inside a tetrahedron: its cut with x = 0 of the plane view, drawn in 3D.
// Vertices are classified by one fixed rule (x > 0 against x <= 0), so neighbouring tetrahedra
// share their cut edges.
layout(lines_adjacency) in;
layout(triangle_strip, max_vertices = 4) out;

uniform mat4 P;

in vec4 planePos[];
in vec4 cameraPos[];

void emitCut(int above, int below) {
    float t = planePos[above].x / (planePos[above].x - planePos[below].x);
    gl_Position = P * mix(cameraPos[above], cameraPos[below], t);
    EmitVertex();
}

void main() {
    int above[4];
    int below[4];
    int aboveCount = 0;
    int belowCount = 0;
    for (int i = 0; i < 4; ++i) {
        if (planePos[i].x > 0.0)
            above[aboveCount++] = i;
        else
            below[belowCount++] = i;
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
        emitCut(above[0], below[0]);
        emitCut(above[0], below[1]);
        emitCut(above[1], below[0]);
        emitCut(above[1], below[1]);
    }
    EndPrimitive();
}
