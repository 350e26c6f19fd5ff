#pragma once

#include "KeyActions.h"
#include "PieceClock.h"
#include "Timeline.h"

#include <string>
#include <vector>

// What one frame's keys ask of the frame loop, once the piece's clock has
// done what they ask of it.
struct KeyRequests {
    bool quit = false;
    int rebuilds = 0;    // one build for each press of Space
    bool jumped = false; // the time was paused, resumed or moved
    bool shotWanted = false;
    bool stripChanged = false;      // shown or hidden, a loop or a mark made
    std::vector<std::string> marks; // a line of GLSL for each mark made
};

// Applies `keys`, in the order they came, to `clock` and `timeline` at
// `now` (seconds of the windowing library's timer); the rest is left to the
// frame loop.
KeyRequests dispatchKeys(const std::vector<KeyAction>& keys, PieceClock& clock, Timeline& timeline,
                         double now);
