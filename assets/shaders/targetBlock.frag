#version 330 core
// The overlay on the targeted block. The image is a row of "texSize".x volume textures (one per
// crack stage, chosen by "offset"), each "texSize".y layers high, one layer per tile row; the
// cell's corner bits arrive as the 3D texture coordinate.
in vec4 gData;
out vec4 fragColor;

uniform sampler2D texSampler;
uniform uvec2 texSize;
uniform int offset;

void main() {
    ivec2 tiles = max(ivec2(texSize), ivec2(1));
    ivec2 tile = max(textureSize(texSampler, 0) / tiles, ivec2(1));
    vec3 t = clamp(gData.xyz, 0.0, 1.0);
    int stage = clamp(offset, 0, tiles.x - 1);
    int layer = min(int(t.z * float(tiles.y)), tiles.y - 1);
    ivec2 inTile = min(ivec2(t.xy * vec2(tile)), tile - 1);
    fragColor = texelFetch(texSampler, ivec2(stage, layer) * tile + inTile, 0);
}
