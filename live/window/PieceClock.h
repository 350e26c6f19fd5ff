#pragma once

#include "DemoContract.h"

// The piece's time, under the author's control: it runs from 0, wraps at the
// demo's length, and can be paused and moved. Readings of a steady source of
// seconds (the windowing library's timer) are passed in, so that the clock
// itself holds no time source.
class PieceClock {
  public:
    static constexpr double length = demo::lengthSeconds;

    explicit PieceClock(double now) : startedAt_(now) {}

    // The piece's time at `now`, in [0, length).
    double at(double now) const;
    bool paused() const { return paused_; }

    void togglePause(double now);
    // Moves by `seconds` (negative: back), wrapping within the piece.
    void seekBy(double now, double seconds);
    void seekTo(double now, double time);

  private:
    static double wrap(double time);

    double startedAt_; // `now` at which the piece was at time 0
    bool paused_ = false;
    double pausedTime_ = 0.0; // the time shown while paused
};
