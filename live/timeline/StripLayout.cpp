#include "StripLayout.h"

#include "PieceClock.h"

#include <algorithm>

namespace {

// In the font's pixels: room for a line of text over the waveform.
constexpr int heightUnits = 22;

} // namespace

StripLayout StripLayout::forWindow(int width, int height) {
    StripLayout layout;
    // As the problem lines: 2x2 pixels a unit in a 1280x720 window.
    layout.scale = std::max(1, height / 360);
    layout.width = std::max(0, width);
    layout.height = std::min(std::max(0, height / 4), heightUnits * layout.scale);
    layout.top = std::max(0, height) - layout.height;
    return layout;
}

bool StripLayout::contains(double x, double y) const {
    return x >= 0.0 && x < width && y >= top && y < top + height;
}

double StripLayout::timeAt(double x) const {
    if (width <= 0) {
        return 0.0;
    }
    const double time = x / width * PieceClock::length;
    // Just short of the end, which is the piece's start again.
    return std::clamp(time, 0.0, PieceClock::length - 1e-3);
}

double StripLayout::xAt(double time) const {
    return time / PieceClock::length * width;
}
