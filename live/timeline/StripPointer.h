#pragma once

#include "PieceClock.h"
#include "StripLayout.h"
#include "Timeline.h"

// What the mouse does on the strip: a click puts the piece at the time under
// it; a drag scrubs the picture along with the pointer, the music waiting
// for the button's release to play from there; a drag with Shift held marks
// out a loop. Presses elsewhere in the window are left alone.
class StripPointer {
  public:
    // Each returns whether the piece's time was moved.
    bool press(PieceClock& clock, const StripLayout& strip, double now, double x, double y,
               bool shift);
    bool move(PieceClock& clock, const StripLayout& strip, double now, double x);
    bool release(PieceClock& clock, const StripLayout& strip, double now, double x);

    bool dragging() const { return drag_ != Drag::None; }

  private:
    enum class Drag { None, Scrub, Loop };
    Drag drag_ = Drag::None;
    double anchor_ = 0.0; // for a loop: where the drag began
};
