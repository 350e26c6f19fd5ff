#pragma once

// What the demo gives every piece and says to its user, for the tools that
// must draw, capture or measure a piece as the demo does, and for the tests
// that hold the demo to it. Plain C++17, no GL or system header, so that any
// program or generator can take it. The demo spells these out in its own
// start-up steps; its conformance and end-to-end tests read them from here,
// so that a change to the demo that this header does not share fails a test.
namespace demo {

// The picture's size in pixels, and windowSize's value whatever the window.
inline constexpr int width = 1920;
inline constexpr int height = 1080;

// The full-screen window's title.
inline constexpr const char* title = "Vellomirke2017Demo";

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

// Its messages on standard output, each a line of its own: the two start-up
// failures (then it ends with -1), and the shader builder's report heads (a
// failed compile's is followed by the stage's kind, "vertex" or "fragment").
inline constexpr const char* windowFailedMessage = "Failed to create GLFW window";
inline constexpr const char* loaderFailedMessage = "Failed to initialize GLAD";
inline constexpr const char* readFailedMessage = "ERROR SHADER reading a file failed";
inline constexpr const char* compileFailedMessage = "ERROR SHADER filed to compile shader of type ";
inline constexpr const char* linkFailedMessage = "ERROR SHADER program linking failed";

} // namespace demo
