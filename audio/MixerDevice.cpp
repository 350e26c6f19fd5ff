#include "MixerDevice.h"

#include "QuietAlsa.h"

namespace {

constexpr int sampleRate = 48000;
constexpr int periodFrames = 512;

} // namespace

bool openMixerDevice(const MixerLibrary& sdl) {
    // SDL would otherwise turn SIGINT and SIGTERM into quit events that these
    // programs never read, leaving them unkillable from a terminal.
    sdl.setHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    quietenAlsa();
    if (sdl.initSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    sdl.mixInit(MIX_INIT_MP3);
    return sdl.openAudioDevice(sampleRate, AUDIO_S16SYS, 2, periodFrames, nullptr,
                               SDL_AUDIO_ALLOW_FREQUENCY_CHANGE) == 0;
}

Mix_Music* loadTrack(const MixerLibrary& sdl, const char* path) {
    Mix_Music* byContent = sdl.loadMusicRW(sdl.rwFromFile(path, "rb"), 1);
    return byContent != nullptr ? byContent : sdl.loadMusic(path);
}
