#version 330 core
// Cuts one tetrahedron with the forg's plane (x = 0 of the plane view) and draws the cut flat:
// along the plane his walking direction runs to the left, up runs up. Vertices are classified
// by one fixed rule (x > 0 against x <= 0) and every cut point is interpolated from its positive
// end, so neighbouring tetrahedra meet without cracks.
layout(lines_adjacency) in;
layout(triangle_strip, max_vertices = 4) out;

uniform mat4 MVP;
uniform sampler2D texSampler;
uniform uvec2 texSize;

in vec4 viewPos[];
in vec3 vertTexCoord[];

out vec3 texCoord;
flat out float tileU0;
flat out float shade;
// The atlas's tiles in texels, as block.frag takes them (see block.geom).
flat out ivec2 tilePixels;

float tile;
ivec2 pixels;

void emitCut(int above, int below) {
    float t = viewPos[above].x / (viewPos[above].x - viewPos[below].x);
    vec4 p = mix(viewPos[above], viewPos[below], t);
    texCoord = mix(vertTexCoord[above], vertTexCoord[below], t);
    tileU0 = tile;
    shade = 1.0;
    tilePixels = pixels;
    gl_Position = MVP * vec4(p.z, p.y, 0.0, 1.0);
    EmitVertex();
}

void main() {
    int above[4];
    int below[4];
    int aboveCount = 0;
    int belowCount = 0;
    for (int i = 0; i < 4; ++i) {
        if (viewPos[i].x > 0.0)
            above[aboveCount++] = i;
        else
            below[belowCount++] = i;
    }
    if (aboveCount == 0 || belowCount == 0) return;
    // A block's volume spans u0 .. u0 + 1, so the smallest u is its tile column.
    tile = floor(min(min(vertTexCoord[0].x, vertTexCoord[1].x),
                     min(vertTexCoord[2].x, vertTexCoord[3].x)) + 0.001);
    pixels = textureSize(texSampler, 0) / ivec2(max(texSize, uvec2(1u)));
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
