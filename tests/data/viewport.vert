#version 330 core
// Passes the quad's corner position on, so the picture shows where the
// rectangle landed in the viewport rather than where the pixel is.
layout(location = 0) in vec3 position;
out vec2 corner;

void main() {
    corner = position.xy * 0.5 + 0.5;
    gl_Position = vec4(position, 1.0);
}
