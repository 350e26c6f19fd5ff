#include "PieceClock.h"

#include <cmath>
#include <limits>

namespace {

// Shorter than this, a loop would repeat one picture.
constexpr double shortestLoop = 1.0 / 60.0;

} // namespace

double PieceClock::wrap(double time) {
    double wrapped = std::fmod(time, length);
    return wrapped < 0.0 ? wrapped + length : wrapped;
}

double PieceClock::at(double now) const {
    if (paused_) {
        return pausedTime_;
    }
    const double running = now - startedAt_;
    if (loop_) {
        // startedAt_ is set so that the running time is in the loop from its
        // start on; it goes round the section from there.
        const double span = loop_->to - loop_->from;
        const double into = std::fmod(running - loop_->from, span);
        return loop_->from + (into < 0.0 ? into + span : into);
    }
    return wrap(running);
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
    const double target = wrap(time);
    if (loop_ && (target < loop_->from || target >= loop_->to)) {
        loop_.reset();
    }
    place(now, target);
}

void PieceClock::place(double now, double time) {
    if (paused_) {
        pausedTime_ = time;
    } else {
        startedAt_ = now - time;
    }
}

bool PieceClock::setLoop(double now, double from, double to) {
    from = std::fmax(0.0, from);
    to = std::fmin(length, to);
    if (to - from < shortestLoop) {
        return false;
    }
    const double time = at(now);
    loop_ = Loop{from, to};
    place(now, time >= from && time < to ? time : from);
    return true;
}

void PieceClock::endLoop(double now) {
    const double time = at(now);
    loop_.reset();
    place(now, time);
}

double PieceClock::untilWrap(double now) const {
    if (paused_) {
        return std::numeric_limits<double>::infinity();
    }
    return (loop_ ? loop_->to : length) - at(now);
}
