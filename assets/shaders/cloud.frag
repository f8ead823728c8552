#version 330 core
// The clouds take one colour for the whole layer; its alpha thins them by day.
in vec4 gData;
out vec4 fragColor;

uniform vec4 cloudColor;

void main() {
    fragColor = cloudColor;
}
