#pragma once

#include <string>
#include <vector>

// Turning a shader written for online shader sites, around
// `void mainImage(out vec4 fragColor, in vec2 fragCoord)` with the sites'
// uniforms, into a fragment.glsl that the demo builds as it stands.
struct Conversion {
    std::string fragment;             // the new fragment.glsl, when accepted
    std::vector<std::string> refused; // why it cannot be converted, if at all
    int headerLines = 0;              // line N of the source is line headerLines + N

    // The source's line for a line of `fragment`; 0 for the lines that the
    // import adds before and after it.
    int sourceLine(int fragmentLine, int sourceLines) const;
};

// iTime (and iGlobalTime, its older name), iResolution, iFrame, iTimeDelta,
// iFrameRate and iSampleRate are given from the demo's timeValue and
// windowSize, its 60 frames a second and its player's rate; a mainVR beside
// mainImage stays an unused function. Anything else the sites provide
// (textures and their times and sizes, the mouse, the date, ...) has no
// counterpart, and a shader that uses it is refused rather than turned into
// one that compiles and draws black.
Conversion convertMainImage(const std::string& source, const std::string& sourceName);
