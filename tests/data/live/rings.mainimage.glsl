// Concentric rings that breathe with time, in the style of online shader
// sites: mainImage, iTime and iResolution only.
void mainImage(out vec4 fragColor, in vec2 fragCoord)
{
    vec2 uv = (2.0 * fragCoord - iResolution.xy) / iResolution.y;
    float d = length(uv);
    float rings = 0.5 + 0.5 * sin(24.0 * d - 3.0 * iTime);
    vec3 col = mix(vec3(0.05, 0.1, 0.3), vec3(1.0, 0.8, 0.4), rings * exp(-d));
    fragColor = vec4(col, 1.0);
}
