#version 330 core
// Compiles on its own, but a fragment stage without main cannot be linked.
out vec4 fragColor;

void paint() {
    fragColor = vec4(1.0);
}
