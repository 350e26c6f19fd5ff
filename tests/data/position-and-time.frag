#version 330 core
// Red and green: where the pixel is, as a fraction of windowSize.
// Blue: timeValue / 32, so a screenshot tells the time to about 0.13 s.
out vec4 fragColor;
uniform float timeValue;
uniform vec2 windowSize;

void main() {
    fragColor = vec4(gl_FragCoord.xy / windowSize, timeValue / 32.0, 1.0);
}
