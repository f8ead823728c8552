#version 330 core
// The moon fades as daylight ("blend", 0 at night, 1 by day) comes up.
in vec4 gData;
out vec4 fragColor;

uniform sampler2D moonTexture;
uniform float blend;

void main() {
    vec4 texel = texture(moonTexture, gData.xy);
    fragColor = vec4(texel.rgb, texel.a * (1.0 - 0.75 * clamp(blend, 0.0, 1.0)));
}
