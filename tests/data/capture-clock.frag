#version 330 core
// Paints timeValue into large flat areas that survive video compression:
// blue = fract(timeValue), red = fract(timeValue / 4), green = timeValue / 32.
// The top eighth of the screen is white, so that a picture stored upside down
// shows.
out vec4 fragColor;
uniform float timeValue;
uniform vec2 windowSize;

void main() {
    if (gl_FragCoord.y >= windowSize.y * 0.875) {
        fragColor = vec4(1.0);
        return;
    }
    fragColor = vec4(fract(timeValue / 4.0), timeValue / 32.0, fract(timeValue), 1.0);
}
