#version 330 core
in vec2 corner;
out vec4 fragColor;

void main() {
    fragColor = vec4(corner, 0.0, 1.0);
}
