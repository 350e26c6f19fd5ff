#include "KeyDispatch.h"

KeyRequests dispatchKeys(const std::vector<KeyAction>& keys, PieceClock& clock, Timeline& timeline,
                         double now) {
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
        case KeyAction::PreviousBeat:
        case KeyAction::NextBeat:
        case KeyAction::PreviousBar:
        case KeyAction::NextBar: {
            const bool back = action == KeyAction::PreviousBeat || action == KeyAction::PreviousBar;
            const bool bar = action == KeyAction::PreviousBar || action == KeyAction::NextBar;
            timeline.stepBeat(clock, now, back ? -1 : 1, bar);
            asked.jumped = true;
            break;
        }
        case KeyAction::FrameBack:
        case KeyAction::FrameForward:
            timeline.stepFrame(clock, now, action == KeyAction::FrameBack ? -1 : 1);
            asked.jumped = true;
            break;
        case KeyAction::ToggleLoop:
            timeline.toggleLoop(clock, now);
            asked.stripChanged = true;
            break;
        case KeyAction::Mark:
        case KeyAction::MarkUnsnapped:
            asked.marks.push_back(timeline.mark(clock.at(now), action == KeyAction::Mark));
            asked.stripChanged = true;
            break;
        case KeyAction::ToggleTimeline:
            timeline.toggleShown();
            asked.stripChanged = true;
            break;
        case KeyAction::None:
            break;
        }
    }
    return asked;
}
