#version 330 core
flat in vec4 gNormal;
out vec4 fragColor;

uniform vec3 inColor;
uniform vec4 lightDir;

float lighting() {
    float len = length(lightDir);
    float facing = len > 0.0 ? dot(gNormal, lightDir / len) : 0.0;
    return 0.35 + 0.65 * max(facing, 0.0);
}

void main() {
    fragColor = vec4(inColor * lighting(), 1.0);
}
