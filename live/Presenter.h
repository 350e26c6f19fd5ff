#pragma once

#include <glad/gl.h>

// Shows the demo's picture in the window: scaled, letterboxed to 16:9, and,
// while the latest build is failing, inside a thin red frame.
void presentFrame(GLuint frameBuffer, int frameWidth, int frameHeight, int windowWidth,
                  int windowHeight, bool buildFailing);
