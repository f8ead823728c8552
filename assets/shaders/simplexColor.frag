#version 330 core
in vec4 gData;
out vec4 fragColor;

void main() {
    fragColor = vec4(gData.rgb, 1.0);
}
