// Stripes that step once per frame; a helper function and a constant before
// mainImage, and an alpha that the sites ignore.
const float PI = 3.14159265;

vec3 palette(float t) {
    return 0.5 + 0.5 * cos(2.0 * PI * (t + vec3(0.0, 0.33, 0.67)));
}

void mainImage( out vec4 O, vec2 U )
{
    vec2 p = U / iResolution.xy;
    float step = float(iFrame % 120) / 120.0;
    O = vec4(palette(p.x + step + 0.1 * sin(iTime)), 0.0);
}
