#pragma once

#include <string>
#include <vector>

// Turning a shader written for online shader sites, around
// `void mainImage(out vec4 fragColor, in vec2 fragCoord)` with the sites'
// uniforms, into a fragment.glsl that the demo builds as it stands.
struct Conversion {
    std::string fragment;             // the new fragment.glsl, when accepted
    std::vector<std::string> refused; // why it cannot be converted, if at all
};

// iTime, iResolution and iFrame map onto the demo's timeValue and windowSize;
// anything else the sites provide (textures, the mouse, the date, ...) has
// no counterpart, and a shader that uses it is refused rather than turned
// into one that compiles and draws black.
Conversion convertMainImage(const std::string& source, const std::string& sourceName);

// The command `--import SRC DIR`: writes DIR/fragment.glsl (never over one
// that exists unless `force`) and DIR/vertex.glsl when there is none.
// Returns the exit status; messages go to standard error.
int importShader(const std::string& sourcePath, const std::string& dir, bool force);
