#version 330 core
// The same picture as position-and-time.frag, with the uniforms declared in
// the other order behind uniforms of its own, so that a driver gives
// timeValue and windowSize other locations than in that shader.
out vec4 fragColor;
uniform vec4 tint;
uniform float gain[3];
uniform vec2 windowSize;
uniform float timeValue;

void main() {
    vec4 unused = tint * (gain[0] + gain[1] + gain[2]);
    fragColor = vec4(gl_FragCoord.xy / windowSize, timeValue / 32.0, 1.0) + unused;
}
