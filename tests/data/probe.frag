#version 330 core
// Encodes what the program feeds the shader into the picture:
// red and green = position across the screen as seen through windowSize,
// blue = the fractional part of timeValue / 4.
out vec4 fragColor;
uniform float timeValue;
uniform vec2 windowSize;

void main() {
    vec2 uv = gl_FragCoord.xy / windowSize;
    fragColor = vec4(uv, fract(timeValue / 4.0), 1.0);
}
