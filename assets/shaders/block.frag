#version 330 core
// Each face is a small 3D texture in "tiles.png": tile column u0 holds its layers, one tile
// row per layer, each a 2D slice. texSize is the atlas size in tiles (columns, rows = layers).
in vec3 texCoord;
flat in float tileU0;
flat in float shade;
flat in ivec2 tilePixels;  // textureSize / texSize, worked out by the geometry stage

uniform sampler2D texSampler;
uniform uvec2 texSize;

out vec4 color;

void main() {
    int layers = int(max(texSize.y, 1u));
    float s = clamp(texCoord.x - tileU0, 0.0, 0.9999);
    float t = clamp(texCoord.y, 0.0, 0.9999);
    // Layer coordinates run 0 .. layers - 1 across the face; give every layer an equal share.
    int layer = clamp(int(texCoord.z * float(layers) / float(max(layers - 1, 1))), 0, layers - 1);
    ivec2 texel = ivec2(int(tileU0) * tilePixels.x + int(s * float(tilePixels.x)),
                        layer * tilePixels.y + int(t * float(tilePixels.y)));
    vec4 c = texelFetch(texSampler, texel, 0);
    color = vec4(c.rgb * shade, c.a);
}
