// Follows the mouse over a texture: neither has a counterpart in a piece.
// (iDate in this comment must not count.)
void mainImage(out vec4 fragColor, in vec2 fragCoord)
{
    vec2 uv = fragCoord / iResolution.xy;
    vec2 m = iMouse.xy / iResolution.xy;
    fragColor = texture(iChannel0, uv + 0.1 * m);
}
