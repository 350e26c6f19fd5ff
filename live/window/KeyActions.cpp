#include "KeyActions.h"

#include <GLFW/glfw3.h>

namespace {

// The keys that move through the piece, which repeat while held.
KeyAction movingKey(int key, bool shift) {
    switch (key) {
    case GLFW_KEY_LEFT:
        return shift ? KeyAction::SeekBackFar : KeyAction::SeekBack;
    case GLFW_KEY_RIGHT:
        return shift ? KeyAction::SeekForwardFar : KeyAction::SeekForward;
    case GLFW_KEY_LEFT_BRACKET:
        return shift ? KeyAction::PreviousBar : KeyAction::PreviousBeat;
    case GLFW_KEY_RIGHT_BRACKET:
        return shift ? KeyAction::NextBar : KeyAction::NextBeat;
    case GLFW_KEY_COMMA:
        return KeyAction::FrameBack;
    case GLFW_KEY_PERIOD:
        return KeyAction::FrameForward;
    default:
        return KeyAction::None;
    }
}

} // namespace

KeyAction keyAction(int key, int action, int mods) {
    const bool shift = (mods & GLFW_MOD_SHIFT) != 0;
    if (action == GLFW_REPEAT) {
        return movingKey(key, shift);
    }
    if (action != GLFW_PRESS) {
        return KeyAction::None;
    }
    if (KeyAction moving = movingKey(key, shift); moving != KeyAction::None) {
        return moving;
    }
    switch (key) {
    case GLFW_KEY_ESCAPE:
        return KeyAction::Quit;
    case GLFW_KEY_SPACE:
        return KeyAction::Rebuild;
    case GLFW_KEY_P:
        return KeyAction::TogglePause;
    case GLFW_KEY_HOME:
        return KeyAction::Home;
    case GLFW_KEY_F12:
        return KeyAction::SaveShot;
    case GLFW_KEY_L:
        return KeyAction::ToggleLoop;
    case GLFW_KEY_M:
        return shift ? KeyAction::MarkUnsnapped : KeyAction::Mark;
    case GLFW_KEY_T:
        return KeyAction::ToggleTimeline;
    default:
        return KeyAction::None;
    }
}
