#pragma once

#include "XClient.h"

#include <chrono>
#include <functional>
#include <string>

namespace testsupport {

// The colour channel (0-255) that a shader writing `fraction` produces.
int channel(double fraction);

// True when every channel of `actual` is within `tolerance` of `expected`.
bool near(const Rgb& actual, const Rgb& expected, int tolerance = 3);

std::string describe(const Rgb& colour);

// The colour at the middle of a picture; (-1, -1, -1) when there is none.
Rgb centre(const Image& image);

// Captures `window` until `accept` is happy with the picture or the timeout
// ends; returns the last picture either way. A shorter `poll` times how soon
// a picture appears more finely.
Image waitForPicture(XClient& x, XWindow window, const std::function<bool(const Image&)>& accept,
                     std::chrono::milliseconds timeout = std::chrono::seconds(10),
                     std::chrono::milliseconds poll = std::chrono::milliseconds(100));

// What position-and-time.frag draws at (x, y), top-left origin, on a
// 1920x1080 window: red and green from the position, blue ignored.
bool showsPositions(const Image& image, int tolerance = 3);

// The timeValue that position-and-time.frag encoded into the picture.
double encodedTime(const Image& image);

} // namespace testsupport
