#pragma once

// What a key press asks of the live program.
enum class KeyAction {
    None,
    Quit,
    Rebuild,
    TogglePause,
    SeekBack,
    SeekForward,
    SeekBackFar,
    SeekForwardFar,
    Home,
    SaveShot,
    PreviousBeat,
    NextBeat,
    PreviousBar,
    NextBar,
    FrameBack,
    FrameForward,
    ToggleLoop,
    Mark,
    MarkUnsnapped,
    ToggleTimeline,
};

// `key`, `action` and `mods` as the windowing library reports them. Only a
// fresh press counts, except for seeking and stepping, which a held key
// repeats:
// one press rebuilds once, however long Space is held.
KeyAction keyAction(int key, int action, int mods);
