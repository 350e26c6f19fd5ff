#version 330 core
// Compiles and links, but leaves the attribute location to the driver,
// which the demo does not allow: it feeds the quad to location 0 only.
in vec3 position;

void main() {
    gl_Position = vec4(position, 1.0);
}
