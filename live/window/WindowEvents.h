#pragma once

#include "KeyActions.h"

#include <GLFW/glfw3.h>

#include <vector>

// What the mouse did, in window pixels.
struct PointerEvent {
    enum class Kind { Press, Move, Release };
    Kind kind;
    double x, y;
    bool shift;
};

// What the window's callbacks leave for the frame loop: the keys' actions,
// the left button's presses and releases and a drag's latest move, and
// whether the window needs its picture shown again (exposed or resized).
struct WindowEvents {
    std::vector<KeyAction> keys;
    std::vector<PointerEvent> pointer;
    bool buttonDown = false; // the left button, since it was pressed in the window
    // Where the pointer was last reported: a press is where the pointer was
    // when it came, which may be behind where it is by the time the frame
    // loop reads its events.
    double pointerX = 0.0, pointerY = 0.0;
    bool needsPresent = false;
};

// Has `window`'s callbacks leave their events in `events`, which must
// outlive the window.
void listenTo(GLFWwindow* window, WindowEvents& events);
