#pragma once

#include "DemoContract.h"

#include <optional>

// The piece's time, under the author's control: it runs from 0, wraps at the
// demo's length, and can be paused, moved and looped over a section.
// Readings of a steady source of seconds (the windowing library's timer) are
// passed in, so that the clock itself holds no time source.
class PieceClock {
  public:
    static constexpr double length = demo::lengthSeconds;

    // A section that the time goes round in, from `from` to `to`.
    struct Loop {
        double from, to;
    };

    explicit PieceClock(double now) : startedAt_(now) {}

    // The piece's time at `now`, in [0, length).
    double at(double now) const;
    bool paused() const { return paused_; }

    void togglePause(double now);
    // Moves by `seconds` (negative: back), wrapping within the piece. A
    // move out of the loop ends it.
    void seekBy(double now, double seconds);
    void seekTo(double now, double time);

    // Loops the time over [from, to), within the piece, from its start where
    // the time is outside it; false, changing nothing, for a section shorter
    // than a frame.
    bool setLoop(double now, double from, double to);
    // Ends the loop; the time runs on from where it is.
    void endLoop(double now);
    const std::optional<Loop>& loop() const { return loop_; }

    // Seconds from `now` until the time next goes back (the piece's end, or
    // the loop's); infinite while paused.
    double untilWrap(double now) const;

  private:
    static double wrap(double time);
    // `time` in the loop where there is one; moves the running time there.
    void place(double now, double time);

    double startedAt_; // `now` at which the piece was at time 0
    bool paused_ = false;
    double pausedTime_ = 0.0; // the time shown while paused
    std::optional<Loop> loop_;
};
