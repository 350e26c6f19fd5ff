#pragma once

// What the demo gives every piece, for the tools that must draw, capture or
// measure a piece as the demo does. Plain C++17, no GL or system header, so
// that any program or generator can take it. The demo itself keeps its own
// literals: this header follows it, not the other way round.
namespace demo {

// The picture's size in pixels, and windowSize's value whatever the window.
inline constexpr int width = 1920;
inline constexpr int height = 1080;

// The demo ends after the first frame at or past this many seconds.
inline constexpr int lengthSeconds = 30;

// The uniforms it sets every frame: seconds (float) and the size (vec2).
inline constexpr const char* timeUniform = "timeValue";
inline constexpr const char* sizeUniform = "windowSize";

// The one rectangle it draws: corners at (-1, -1) and (1, 1) as vec3s in
// attribute 0, two triangles by these indices.
inline constexpr int positionAttribute = 0;
inline constexpr float rectangleVertices[] = {
    -1.0f, -1.0f, 0.0f, //
    1.0f,  -1.0f, 0.0f, //
    1.0f,  1.0f,  0.0f, //
    -1.0f, 1.0f,  0.0f, //
};
inline constexpr unsigned int rectangleIndices[] = {0, 1, 2, 2, 0, 3};
inline constexpr int rectangleIndexCount = sizeof rectangleIndices / sizeof rectangleIndices[0];

} // namespace demo
