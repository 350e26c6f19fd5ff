#pragma once

#include "XClient.h"

#include <string>

namespace testsupport {

// The colour channel (0-255) that a shader writing `fraction` produces.
int channel(double fraction);

// True when every channel of `actual` is within `tolerance` of `expected`.
bool near(const Rgb& actual, const Rgb& expected, int tolerance = 3);

std::string describe(const Rgb& colour);

// The colour at the middle of a picture; (-1, -1, -1) when there is none.
Rgb centre(const Image& image);

// What position-and-time.frag draws at (x, y), top-left origin, on a
// 1920x1080 window: red and green from the position, blue ignored.
bool showsPositions(const Image& image, int tolerance = 3);

// position-and-time.frag seen through a picture of `width` x `height` placed
// at `top` in a window: red runs 0..1 across it and green 1..0 down it,
// exactly as on the demo's 1920x1080 screen.
bool showsScaledPositions(const Image& image, int top, int width, int height);

// The timeValue that position-and-time.frag encoded into the picture.
double encodedTime(const Image& image);

} // namespace testsupport
