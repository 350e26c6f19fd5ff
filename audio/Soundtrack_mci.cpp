// Soundtrack through the Windows media-command interface. The media service
// keeps the opened device under the alias mp3 and plays it in the background.
#include "Soundtrack.h"

#include <windows.h>
#include <mmsystem.h>

namespace {

// Closes the device once main has returned, while every thread of the
// process still runs. Left open, the device is torn down by ExitProcess after
// the player's reader and decoder threads have been cut off mid-stream; Wine's
// media player then faults in its reader thread and the process ends with a
// segmentation fault instead of the program's status.
struct CloseAtExit {
    CloseAtExit() = default;
    CloseAtExit(const CloseAtExit&) = delete;
    CloseAtExit& operator=(const CloseAtExit&) = delete;
    ~CloseAtExit() { mciSendStringA("close mp3", nullptr, 0, nullptr); }
};

} // namespace

void Soundtrack::open() {
    mciSendStringA("open \"audio.mp3\" type mpegvideo alias mp3", nullptr, 0, nullptr);
    // Constructed on the first call, destroyed by the runtime's exit
    // processing after main returns.
    static CloseAtExit closeAtExit;
}

void Soundtrack::playLooping() {
    mciSendStringA("play mp3 repeat", nullptr, 0, nullptr);
}
