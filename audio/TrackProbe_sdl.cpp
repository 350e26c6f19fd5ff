// The probe through SDL2_mixer, loaded at run time as for the players. The
// mixer opens tracks only once an output is open; SDL's dummy driver is one
// that no sound server or device stands behind, whatever SDL_AUDIODRIVER
// says.
#include "TrackProbe.h"

#include "MixerDevice.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

// SDL2_mixer's MP3 decoder, libmpg123, writes notes on a stream it cannot
// read ("Note: Illegal Audio-MPEG-Header ...") to standard error; the
// probe's verdict says it in words. Standard error goes nowhere meanwhile.
class QuietStandardError {
  public:
    QuietStandardError() {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && nowhere >= 0) {
            dup2(nowhere, STDERR_FILENO);
        }
        if (nowhere >= 0) {
            close(nowhere);
        }
    }
    ~QuietStandardError() {
        if (saved_ >= 0) {
            dup2(saved_, STDERR_FILENO);
            close(saved_);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

  private:
    int saved_ = -1;
};

} // namespace

TrackProbe probeTrack(const std::string& path) {
    TrackProbe probe;
    probe.player = "SDL2_mixer";
    const MixerLibrary* sdl = mixerLibrary();
    if (sdl == nullptr) {
        return probe;
    }
    sdl->setHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdl->setHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (sdl->initSubSystem(SDL_INIT_AUDIO) != 0) {
        return probe;
    }
    sdl->mixInit(MIX_INIT_MP3);
    if (sdl->openAudioDevice(48000, AUDIO_S16SYS, 2, 1024, nullptr, 0) == 0) {
        Mix_Music* music = nullptr;
        {
            QuietStandardError quiet;
            music = loadTrack(*sdl, path.c_str());
        }
        probe.result =
            music != nullptr ? TrackProbe::Result::Playable : TrackProbe::Result::NotPlayable;
        if (music != nullptr) {
            probe.seconds = std::max(0.0, sdl->musicDuration(music));
            sdl->freeMusic(music);
        }
        sdl->closeAudio();
    }
    sdl->quitSubSystem(SDL_INIT_AUDIO);
    return probe;
}
