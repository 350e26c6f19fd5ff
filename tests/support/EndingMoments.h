#pragma once

namespace testsupport {

// Run `n` of a soak that ends a program again and again at varied moments:
// every other run with a piece that does not build, every fourth closed by
// the window manager instead of Escape, and the moment spread over 0.1 s to
// 2.4 s after the first frame by a step that shares no factor with those.
struct EndingMoment {
    bool builds;
    bool closed;
    double after;
};

inline EndingMoment endingMoment(int n) {
    return {n % 2 == 0, n % 4 == 3, 0.1 + 2.3 * ((n * 5) % 11) / 10.0};
}

} // namespace testsupport
