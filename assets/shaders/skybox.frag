#version 330 core
// "skybox.png" on texture unit 0 (the sampler's default).
in vec2 vTexCoord;
out vec4 fragColor;

uniform sampler2D texSampler;

void main() {
    fragColor = texture(texSampler, vTexCoord);
}
