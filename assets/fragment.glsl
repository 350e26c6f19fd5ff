#version 330 core
// "Tidewater" - a thirty-second piece in five sections.
//
// The music (scripts/make-soundtrack) runs at 120 beats a minute: two beats a
// second, so each six-second section is three bars of four beats, and the
// beat-locked flashes below use fract(timeValue * 2.0). The demo's clock
// starts before the music does, by its start-up time, so on screen the beat
// leads the sound by that much (a fraction of a second on most machines).
//
//   0 -  6 s  Dusk     Fade in from black over 2.5 s. A dark sky over a line of hills,
//                      slow twinkling motes drifting up, a low sun rising out
//                      of an amber glow on the horizon.
//   6 - 12 s  Ripples  Two wandering sources send out interfering teal and
//                      amber rings; a bright ring leaves one source on every
//                      beat.
//  12 - 18 s  Lattice  A turning, breathing honeycomb in cyan and magenta;
//                      a wave of light rolls outward across it and a random
//                      handful of cells flashes on each beat.
//  18 - 24 s  Tunnel   Flight down a checkered, twisting tunnel that keeps
//                      speeding up, its colour changing ring by ring; the
//                      seams between the rings flare on each beat.
//  24 - 30 s  Aurora   Calm again: green-to-violet curtains over a starry
//                      sky, mirrored in rippling water; from 27.5 s
//                      everything fades to black by 30 s.
//
// Neighbouring sections cross-fade over 1.5 s centred on each boundary
// (5.25-6.75 s, 11.25-12.75 s, ...); only the sections that show at a given
// moment are evaluated, so a frame costs at most two of them.
//
// Layout is in aspect-correct units: p.y runs from -0.5 (bottom) to 0.5
// (top), p.x from -0.5 * width / height to +0.5 * width / height.
// Kept cheap for software GL: no ray marching, no loop over more than three
// iterations.

out vec4 fragColor;
uniform float timeValue;
uniform vec2 windowSize;

const float TAU = 6.28318531;
const float SECTION_LENGTH = 6.0;
const float HALF_BLEND = 0.75;

// A hash of a 2D point to [0, 1), mixed on the float's bits with integer
// arithmetic: no visible lattice structure and no reliance on the precision
// of sin() at large arguments, which differs between GPUs.
float hash(vec2 point) {
    uvec2 bits = floatBitsToUint(point);
    uint h = bits.x * 0x9E3779B9u + bits.y;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return float(h >> 8) * (1.0 / 16777216.0);
}

float valueNoise(vec2 p) {
    vec2 cell = floor(p);
    vec2 f = fract(p);
    vec2 u = f * f * (3.0 - 2.0 * f);
    float a = hash(cell);
    float b = hash(cell + vec2(1.0, 0.0));
    float c = hash(cell + vec2(0.0, 1.0));
    float d = hash(cell + vec2(1.0, 1.0));
    return mix(mix(a, b, u.x), mix(c, d, u.x), u.y);
}

mat2 rotation(float angle) {
    float c = cos(angle);
    float s = sin(angle);
    return mat2(c, s, -s, c);
}

// 1 on the beat, decaying to almost nothing by the next one.
float beatPulse(float t) {
    return exp(-5.0 * fract(t * 2.0));
}

// Small glowing points, one per lattice cell for about a third of the cells,
// placed away from the cell edges so that no cell has to look at its
// neighbours.
float motes(vec2 p, float t, float density, vec2 drift) {
    vec2 q = p * density + drift * t;
    vec2 cell = floor(q);
    float h = hash(cell);
    // One hash per cell; its scaled fractions stand in for further ones.
    vec2 centre = 0.25 + 0.5 * fract(h * vec2(37.13, 91.71));
    vec2 d = (fract(q) - centre) / density;
    // 0.6 to 2 pixels across at 1080 lines.
    float radius = (0.6 + 1.4 * fract(h * 13.37)) / 1080.0;
    float twinkle = 0.55 + 0.45 * sin(t * (1.0 + 2.5 * h) + h * TAU);
    return step(0.66, h) * twinkle * exp(-dot(d, d) / (radius * radius));
}

// Section 1: dusk over the hills, with the sun coming up.
vec3 dusk(vec2 p, float t, float pixel) {
    float rise = smoothstep(0.0, 7.0, t);
    float horizon = -0.16;
    float height = p.y - horizon;

    vec3 zenith = vec3(0.015, 0.02, 0.07);
    vec3 lowSky = mix(vec3(0.10, 0.04, 0.16), vec3(0.55, 0.22, 0.18), rise);
    vec3 col = mix(lowSky, zenith, smoothstep(-0.05, 0.45, height));

    vec2 sunCentre = vec2(0.32, horizon - 0.09 + 0.2 * rise);
    float sunDistance = length(p - sunCentre);
    col += vec3(1.0, 0.55, 0.25) * exp(-abs(height) * 9.0) * (0.15 + 0.35 * rise);
    col += vec3(1.0, 0.6, 0.3) * 0.25 * exp(-sunDistance * 7.0);
    col = mix(col, vec3(1.0, 0.85, 0.6), 1.0 - smoothstep(0.07 - pixel, 0.07 + pixel, sunDistance));

    float sparkle = motes(p, t, 22.0, vec2(0.05, -0.35)) + motes(p, t, 38.0, vec2(-0.03, -0.2));
    col += vec3(0.8, 0.85, 1.0) * sparkle * smoothstep(-0.1, 0.2, height);

    float ridge = horizon + 0.045 * sin(p.x * 3.1 + 1.0) + 0.022 * sin(p.x * 7.3 + 0.4)
                + 0.008 * sin(p.x * 19.0);
    float land = 1.0 - smoothstep(ridge - pixel, ridge + pixel, p.y);
    vec3 hills = vec3(0.03, 0.015, 0.05) + vec3(0.12, 0.05, 0.04) * rise * exp((p.y - ridge) * 12.0);
    return mix(col, hills, land);
}

// Section 2: interference of two wandering sets of rings.
vec3 ripples(vec2 p, float t) {
    vec2 sourceA = vec2(0.45 * sin(t * 0.37), 0.22 * cos(t * 0.51));
    vec2 sourceB = vec2(-0.5 * cos(t * 0.29 + 1.0), 0.2 * sin(t * 0.43 + 2.0));
    float distA = length(p - sourceA);
    float distB = length(p - sourceB);
    float waveA = sin(distA * 42.0 - t * 6.0) / (1.0 + distA * 5.0);
    float waveB = sin(distB * 42.0 - t * 6.0 + 1.3) / (1.0 + distB * 5.0);
    float wave = waveA + waveB;

    vec3 teal = vec3(0.1, 0.75, 0.8);
    vec3 amber = vec3(1.0, 0.6, 0.2);
    float share = clamp(0.5 + 0.5 * (abs(waveA) - abs(waveB)) * 3.0, 0.0, 1.0);
    vec3 tint = mix(amber, teal, share);

    vec3 col = mix(vec3(0.01, 0.05, 0.08), vec3(0.02, 0.02, 0.06), p.y + 0.5);
    col += tint * smoothstep(0.2, 1.2, wave) * 0.8;
    col += tint * 0.12 * (0.5 + 0.5 * wave);

    float beat = fract(t * 2.0);
    float ringRadius = beat * 0.9;
    float ring = exp(-abs(distA - ringRadius) * 70.0) * (1.0 - beat);
    col += vec3(0.9, 0.95, 1.0) * ring * 0.9;
    col += vec3(1.0, 0.9, 0.7) * exp(-distA * 25.0) * (0.3 + 0.7 * beatPulse(t));
    col += vec3(0.7, 0.95, 1.0) * exp(-distB * 25.0) * 0.4;
    return col;
}

// Nearest hexagon centre: returns the offset from it (xy) and its id (zw).
vec4 hexagonCell(vec2 p) {
    const vec2 spacing = vec2(1.0, 1.7320508);
    vec2 centreA = (floor(p / spacing) + 0.5) * spacing;
    vec2 centreB = (floor((p - spacing * 0.5) / spacing) + 0.5) * spacing + spacing * 0.5;
    vec2 offsetA = p - centreA;
    vec2 offsetB = p - centreB;
    return dot(offsetA, offsetA) < dot(offsetB, offsetB) ? vec4(offsetA, centreA)
                                                         : vec4(offsetB, centreB);
}

// Section 3: a turning honeycomb that lights up on the beat.
vec3 lattice(vec2 p, float t) {
    float local = t - 2.0 * SECTION_LENGTH;
    float zoom = 7.0 + 1.5 * sin(local * 0.5);
    vec2 q = rotation(0.12 * t) * p * zoom;
    vec4 cell = hexagonCell(q);
    vec2 offset = cell.xy;
    vec2 id = cell.zw;

    // Distance to the hexagon's edge: 0 at the centre, 0.5 on the edge.
    vec2 a = abs(offset);
    float edgeDistance = max(dot(a, vec2(0.5, 0.8660254)), a.x);
    float edge = 0.5 - edgeDistance;
    float line = exp(-edge * 40.0);

    float beatIndex = floor(t * 2.0);
    float chosen = step(0.78, hash(id * 1.7 + beatIndex * 3.1));
    float flash = chosen * beatPulse(t);
    float sweep = 0.5 + 0.5 * sin(length(id) * 0.55 - local * 3.0);

    vec3 cyan = vec3(0.1, 0.8, 1.0);
    vec3 magenta = vec3(0.95, 0.2, 0.75);
    vec3 cellTint = mix(cyan, magenta, hash(id + 5.0));
    vec3 col = vec3(0.02, 0.01, 0.05);
    col += cellTint * (0.08 + 0.25 * sweep * sweep) * (1.0 - smoothstep(0.0, 0.5, edgeDistance));
    col += cellTint * flash * 0.9 * (1.0 - smoothstep(0.3, 0.5, edgeDistance));
    col += mix(magenta, cyan, sweep) * line * (0.35 + 0.5 * sweep);
    return col * (1.1 - 0.5 * length(p));
}

// Section 4: flight down a tiled tunnel, picking up speed.
vec3 tunnel(vec2 p, float t) {
    float local = max(t - 3.0 * SECTION_LENGTH, -1.0);
    float radius = max(length(p), 1e-3);
    float depth = 1.2 / radius;
    float travel = 1.5 * local + 0.35 * max(local, 0.0) * local;
    float z = depth + travel;
    float angle = atan(p.y, p.x) + 0.5 * sin(z * 0.3 + t * 0.7);

    // Soft checkerboard of tiles on the wall, eight around the tube.
    float tiles = sin(z * TAU) * sin(angle * 8.0);
    float tile = smoothstep(-0.25, 0.25, tiles);
    float seam = exp(-abs(fract(z) - 0.5) * 14.0);
    float flare = beatPulse(t);

    vec3 tint = 0.5 + 0.5 * cos(TAU * (vec3(0.0, 0.33, 0.67) + 0.06 * floor(z) + 0.05 * local));
    vec3 col = tint * (0.12 + 0.55 * tile);
    col += vec3(1.0, 0.92, 0.85) * seam * (0.15 + 0.6 * flare);
    // The far end is dark: depth fog towards the centre.
    float fog = smoothstep(0.03, 0.4, radius);
    return col * fog;
}

// Section 5: curtains of light over still water.
vec3 aurora(vec2 p, float t) {
    float horizon = -0.22;
    bool reflected = p.y < horizon;
    vec2 q = p;
    if (reflected) {
        q.y = 2.0 * horizon - p.y;
        q.x += 0.004 * sin(p.y * 160.0 + t * 2.5) * (horizon - p.y) * 8.0;
    }
    float height = q.y - horizon;

    vec3 col = mix(vec3(0.03, 0.07, 0.10), vec3(0.004, 0.008, 0.025), smoothstep(0.0, 0.5, height));
    col += vec3(0.75, 0.8, 1.0) * motes(q, t, 30.0, vec2(0.01, 0.0)) * 0.8;

    // Wide bright and dim stretches, shared by the three layers; the fine rays
    // inside them are each layer's own.
    float broadRays = valueNoise(vec2(q.x * 9.0 + t * 0.2, t * 0.2));
    for (int i = 0; i < 3; i++) {
        float layer = float(i);
        float fold = q.x + 0.06 * sin(q.x * 5.0 + t * 0.6 + layer * 2.0);
        float base = -0.15 + 0.07 * layer
                   + 0.12 * valueNoise(vec2(fold * 1.3 + layer * 3.7 + t * 0.1, t * 0.07 + layer));
        float above = q.y - base;
        float rays = 0.5 * valueNoise(vec2(fold * 70.0 + layer * 11.0 - t * 0.8, t * 0.5 + layer * 2.0))
                   + 0.5 * broadRays;
        float curtain = exp(-max(above, 0.0) * (3.0 + 1.5 * layer)) * smoothstep(-0.04, 0.01, above);
        vec3 glow = mix(vec3(0.15, 1.0, 0.5), vec3(0.6, 0.25, 1.0), clamp(above * 3.0 + layer * 0.2, 0.0, 1.0));
        col += glow * curtain * rays * rays * (0.6 - 0.12 * layer);
    }

    // A low far shore between sky and water.
    float shore = horizon + 0.012 + 0.01 * sin(p.x * 4.0 + 0.5) + 0.004 * sin(p.x * 15.0);
    if (reflected) col *= vec3(0.4, 0.5, 0.6);
    return mix(col, vec3(0.004, 0.008, 0.012), step(horizon, p.y) * step(p.y, shore));
}

// Share of section `index` in the picture at time t: 1 inside it, 0 outside,
// a smooth ramp across each of its boundaries. The shares always sum to 1.
float sectionWeight(int index, float t) {
    float start = float(index) * SECTION_LENGTH;
    float end = start + SECTION_LENGTH;
    float fadeIn = index == 0 ? 1.0 : smoothstep(start - HALF_BLEND, start + HALF_BLEND, t);
    float fadeOut = index == 4 ? 0.0 : smoothstep(end - HALF_BLEND, end + HALF_BLEND, t);
    return fadeIn - fadeOut;
}

void main() {
    vec2 size = max(windowSize, vec2(1.0));
    vec2 p = (gl_FragCoord.xy - 0.5 * size) / size.y;
    float pixel = 1.0 / size.y;
    float t = timeValue;

    vec3 col = vec3(0.0);
    float w;
    w = sectionWeight(0, t);
    if (w > 0.0) col += w * dusk(p, t, pixel);
    w = sectionWeight(1, t);
    if (w > 0.0) col += w * ripples(p, t);
    w = sectionWeight(2, t);
    if (w > 0.0) col += w * lattice(p, t);
    w = sectionWeight(3, t);
    if (w > 0.0) col += w * tunnel(p, t);
    w = sectionWeight(4, t);
    if (w > 0.0) col += w * aurora(p, t);

    vec2 uv = gl_FragCoord.xy / size;
    float vignette = 0.35 + 0.65 * pow(max(16.0 * uv.x * uv.y * (1.0 - uv.x) * (1.0 - uv.y), 0.0), 0.2);
    float master = smoothstep(0.0, 2.5, t) * (1.0 - smoothstep(27.5, 30.0, t));
    // A little noise against banding in the dark gradients.
    float grain = (hash(gl_FragCoord.xy + fract(t * 7.0) * 311.0) - 0.5) / 128.0;

    fragColor = vec4(clamp(col * vignette * master + grain * master, 0.0, 1.0), 1.0);
}
