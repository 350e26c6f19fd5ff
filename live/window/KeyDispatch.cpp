#include "KeyDispatch.h"

KeyRequests dispatchKeys(const std::vector<KeyAction>& keys, PieceClock& clock, double now) {
    KeyRequests asked;
    for (KeyAction action : keys) {
        switch (action) {
        case KeyAction::Quit:
            asked.quit = true;
            break;
        case KeyAction::Rebuild:
            ++asked.rebuilds;
            break;
        case KeyAction::TogglePause:
            clock.togglePause(now);
            asked.jumped = true;
            break;
        case KeyAction::SeekBack:
        case KeyAction::SeekForward:
        case KeyAction::SeekBackFar:
        case KeyAction::SeekForwardFar: {
            const bool back = action == KeyAction::SeekBack || action == KeyAction::SeekBackFar;
            const bool far =
                action == KeyAction::SeekBackFar || action == KeyAction::SeekForwardFar;
            clock.seekBy(now, (back ? -1.0 : 1.0) * (far ? 5.0 : 1.0));
            asked.jumped = true;
            break;
        }
        case KeyAction::Home:
            clock.seekTo(now, 0.0);
            asked.jumped = true;
            break;
        case KeyAction::SaveShot:
            asked.shotWanted = true;
            break;
        case KeyAction::None:
            break;
        }
    }
    return asked;
}
