#include "StripPointer.h"

#include <algorithm>

StripPointer::Outcome StripPointer::press(PieceClock& clock, const StripLayout& strip, double now,
                                          double x, double y, bool shift) {
    if (!strip.contains(x, y)) {
        return {};
    }
    if (shift) {
        drag_ = Drag::Loop;
        anchor_ = strip.timeAt(x);
        return {};
    }
    drag_ = Drag::Scrub;
    clock.seekTo(now, strip.timeAt(x));
    return {true, true};
}

StripPointer::Outcome StripPointer::move(PieceClock& clock, const StripLayout& strip, double now,
                                         double x) {
    if (drag_ != Drag::Scrub) {
        return {};
    }
    clock.seekTo(now, strip.timeAt(x));
    return {true, true};
}

StripPointer::Outcome StripPointer::release(PieceClock& clock, const StripLayout& strip, double now,
                                            double x) {
    const Drag drag = drag_;
    drag_ = Drag::None;
    const double time = strip.timeAt(x);
    if (drag == Drag::Scrub) {
        clock.seekTo(now, time);
        return {true, false};
    }
    if (drag == Drag::Loop &&
        clock.setLoop(now, std::min(anchor_, time), std::max(anchor_, time))) {
        return {true, false};
    }
    return {};
}
