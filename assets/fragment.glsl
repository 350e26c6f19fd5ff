#version 330 core
out vec4 fragColor;
uniform float timeValue;
uniform vec2 windowSize;

void main() {
    vec2 uv = gl_FragCoord.xy / windowSize;
    fragColor = vec4(uv, 0.5 + 0.5 * sin(timeValue), 1.0);
}
