#version 330 core
// Dims with time.
out vec4 fragColor;
uniform float timeValue;

void main() {
    float level = 1;
    fragColor = vec4(vec3(level - timeValue / 30.0), 1.0);
}
