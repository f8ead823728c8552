#version 330 core
in vec4 gData;
out vec4 fragColor;

uniform float alpha;

void main() {
    fragColor = vec4(gData.rgb, alpha);
}
