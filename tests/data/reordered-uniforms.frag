#version 330 core
// The same picture as position-and-time.frag from a program whose uniforms
// sit at other locations: two uniforms of its own come first, and windowSize
// before timeValue. tint and offset stay zero, so the picture is unchanged.
out vec4 fragColor;
uniform vec4 tint;
uniform vec2 offset;
uniform vec2 windowSize;
uniform float timeValue;

void main() {
    vec2 uv = gl_FragCoord.xy / windowSize + offset;
    fragColor = vec4(uv, timeValue / 32.0, 1.0) + tint;
}
