#version 330 core
in vec2 uv;
in vec3 modelPos;

uniform sampler2D texSampler;

out vec4 color;

void main() {
    vec4 c = texture(texSampler, uv);
    // Clear texels of a sprite leave the depth buffer alone.
    if (c.a < 0.01) discard;
    // Faces are lit by the axis they face: tops brightest, z faces darkest.
    vec3 normal = abs(normalize(cross(dFdx(modelPos), dFdy(modelPos))));
    float shade = normal.y > 0.5 ? 1.0 : (normal.x > 0.5 ? 0.88 : 0.74);
    color = vec4(c.rgb * shade, c.a);
}
