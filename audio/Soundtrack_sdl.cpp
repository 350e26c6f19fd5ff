// Soundtrack on platforms without the media-command interface: SDL2_mixer
// decodes audio.mp3 and plays it on SDL's audio thread.
//
// Loading SDL2_mixer and its decoders' libraries takes longer than the rest
// of the program's own loading, and opening the output device can block for
// as long as a sound server takes to answer, and a hung server never answers.
// So open() only starts a thread that loads the libraries, opens the device
// and loads the file while the demo goes on setting up;
// playLooping() starts playback at once if that work is done, which it
// normally is long before the first frame, and otherwise leaves it to that
// thread to start as soon as it is. Without a device or a playable file that
// thread gives up quietly and nothing is played, as it does when the
// libraries themselves are missing.
#include "Soundtrack.h"

#include "MixerDevice.h"

#include <cstdlib>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// Shared by the main thread and the opening thread. None of it needs tearing
// down at exit, so an opening thread still stuck in a sound server's library
// when the process ends finds it intact should it wake.
std::mutex guard;
bool opening = true;       // the opening thread has not finished yet
bool deviceOpen = false;   // SDL audio and the mixer device are up
bool playWanted = false;   // playLooping() has been called
bool shuttingDown = false; // the process is ending; start nothing more
Mix_Music* music = nullptr;
// The libraries' calls: set by the opening thread once it has them.
const MixerLibrary* sdl = nullptr;

// -1: from the start again each time the track ends, for as long as the
// process runs.
void play() {
    sdl->playMusic(music, -1);
}

// The opening thread: everything that may wait on the outside world.
void openDevice() {
    const MixerLibrary* library = mixerLibrary();
    if (library == nullptr) {
        std::lock_guard<std::mutex> lock(guard);
        opening = false;
        return;
    }
    const bool up = openMixerDevice(*library);
    Mix_Music* track = up ? loadTrack(*library, "audio.mp3") : nullptr;
    std::lock_guard<std::mutex> lock(guard);
    opening = false;
    sdl = library;
    if (shuttingDown) {
        // Too late to play; the process is already ending.
        return;
    }
    deviceOpen = up;
    music = track;
    if (playWanted && music != nullptr) {
        play();
    }
}

// Stops the audio thread before the rest of the process is torn down. An
// opening thread that is still waiting on a device is left to the end of the
// process: closing SDL under it would pull its state away.
void closeAtExit() {
    std::lock_guard<std::mutex> lock(guard);
    shuttingDown = true;
    if (opening || sdl == nullptr) {
        return;
    }
    if (music != nullptr) {
        sdl->haltMusic();
        sdl->freeMusic(music);
        music = nullptr;
    }
    if (deviceOpen) {
        sdl->closeAudio();
    }
    sdl->mixQuit();
    sdl->quit();
}

} // namespace

void Soundtrack::open() {
    std::atexit(closeAtExit);
    try {
        std::thread(openDevice).detach();
    } catch (const std::system_error&) {
        // No thread, no sound; the demo runs on silently.
        std::lock_guard<std::mutex> lock(guard);
        opening = false;
    }
}

void Soundtrack::playLooping() {
    std::lock_guard<std::mutex> lock(guard);
    playWanted = true;
    if (music != nullptr) {
        play();
    }
}
