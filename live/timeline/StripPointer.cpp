#include "StripPointer.h"

#include <algorithm>

bool StripPointer::press(PieceClock& clock, const StripLayout& strip, double now, double x,
                         double y, bool shift) {
    if (!strip.contains(x, y)) {
        return false;
    }
    if (shift) {
        drag_ = Drag::Loop;
        anchor_ = strip.timeAt(x);
        return false;
    }
    drag_ = Drag::Scrub;
    clock.seekTo(now, strip.timeAt(x));
    return true;
}

bool StripPointer::move(PieceClock& clock, const StripLayout& strip, double now, double x) {
    if (drag_ != Drag::Scrub) {
        return false;
    }
    clock.seekTo(now, strip.timeAt(x));
    return true;
}

bool StripPointer::release(PieceClock& clock, const StripLayout& strip, double now, double x) {
    const Drag drag = drag_;
    drag_ = Drag::None;
    const double time = strip.timeAt(x);
    if (drag == Drag::Scrub) {
        clock.seekTo(now, time);
        return true;
    }
    if (drag == Drag::Loop &&
        clock.setLoop(now, std::min(anchor_, time), std::max(anchor_, time))) {
        return true;
    }
    return false;
}
