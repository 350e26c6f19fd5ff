#version 330 core
// Passes the full-screen rectangle through unchanged: the whole picture is
// computed per pixel in fragment.glsl.
layout(location = 0) in vec3 position;

void main() {
    gl_Position = vec4(position, 1.0);
}
