// Soundtrack through the Windows media-command interface. The media service
// keeps the opened device under the alias mp3 and plays it in the background.
#include "Soundtrack.h"

#include "MediaCommand.h"

namespace {

// Closes the device once main has returned, while every thread of the
// process still runs, where the player needs it (MediaCommand.h says why).
struct CloseAtExit {
    CloseAtExit() = default;
    CloseAtExit(const CloseAtExit&) = delete;
    CloseAtExit& operator=(const CloseAtExit&) = delete;
    ~CloseAtExit() {
        if (closeBeforeExit()) {
            mediaCommand("close mp3");
        }
    }
};

} // namespace

void Soundtrack::open() {
    openMediaTrack("audio.mp3", "mp3");
    // Constructed on the first call, destroyed by the runtime's exit
    // processing after main returns.
    static CloseAtExit closeAtExit;
}

void Soundtrack::playLooping() {
    mediaCommand("play mp3 repeat");
}
