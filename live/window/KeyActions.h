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
};

// `key`, `action` and `mods` as the windowing library reports them. Only a
// fresh press counts, except for seeking, which a held arrow key repeats:
// one press rebuilds once, however long Space is held.
KeyAction keyAction(int key, int action, int mods);
