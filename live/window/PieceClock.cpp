#include "PieceClock.h"

#include <cmath>

double PieceClock::wrap(double time) {
    double wrapped = std::fmod(time, length);
    return wrapped < 0.0 ? wrapped + length : wrapped;
}

double PieceClock::at(double now) const {
    return paused_ ? pausedTime_ : wrap(now - startedAt_);
}

void PieceClock::togglePause(double now) {
    if (paused_) {
        startedAt_ = now - pausedTime_;
        paused_ = false;
    } else {
        pausedTime_ = at(now);
        paused_ = true;
    }
}

void PieceClock::seekBy(double now, double seconds) {
    seekTo(now, at(now) + seconds);
}

void PieceClock::seekTo(double now, double time) {
    double target = wrap(time);
    if (paused_) {
        pausedTime_ = target;
    } else {
        startedAt_ = now - target;
    }
}
