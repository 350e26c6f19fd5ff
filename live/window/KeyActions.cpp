#include "KeyActions.h"

#include <GLFW/glfw3.h>

KeyAction keyAction(int key, int action, int mods) {
    const bool shift = (mods & GLFW_MOD_SHIFT) != 0;
    if (action == GLFW_REPEAT) {
        if (key == GLFW_KEY_LEFT) {
            return shift ? KeyAction::SeekBackFar : KeyAction::SeekBack;
        }
        if (key == GLFW_KEY_RIGHT) {
            return shift ? KeyAction::SeekForwardFar : KeyAction::SeekForward;
        }
        return KeyAction::None;
    }
    if (action != GLFW_PRESS) {
        return KeyAction::None;
    }
    switch (key) {
    case GLFW_KEY_ESCAPE:
        return KeyAction::Quit;
    case GLFW_KEY_SPACE:
        return KeyAction::Rebuild;
    case GLFW_KEY_P:
        return KeyAction::TogglePause;
    case GLFW_KEY_LEFT:
        return shift ? KeyAction::SeekBackFar : KeyAction::SeekBack;
    case GLFW_KEY_RIGHT:
        return shift ? KeyAction::SeekForwardFar : KeyAction::SeekForward;
    case GLFW_KEY_HOME:
        return KeyAction::Home;
    case GLFW_KEY_F12:
        return KeyAction::SaveShot;
    default:
        return KeyAction::None;
    }
}
