// Soundtrack on platforms without the media-command interface: SDL2_mixer
// decodes audio.mp3 and plays it on SDL's audio thread.
#include "Soundtrack.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <dlfcn.h>

#include <cstdlib>

namespace {

Mix_Music* music = nullptr;

// 512 frames at 48 kHz is about 11 ms per mixing period, so music starts
// within one or two periods of playLooping().
constexpr int sampleRate = 48000;
constexpr int periodFrames = 512;

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// On a machine without a sound card SDL's ALSA fallback makes libasound print
// a screenful of errors to standard error. libasound lets its error output be
// replaced; SDL loads the library at run time, so install a silent handler in
// that same library before SDL gets to it. Without libasound there is nothing
// to quieten.
void quietenAlsa() {
    void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
    if (alsa == nullptr) {
        return;
    }
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    auto setHandler = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (setHandler != nullptr) {
        setHandler(ignoreAlsaError);
    }
    // The library stays loaded for SDL, which opens the same handle later.
}

// Stops the audio thread before the rest of the process is torn down.
void closeAtExit() {
    if (music != nullptr) {
        Mix_HaltMusic();
        Mix_FreeMusic(music);
        music = nullptr;
    }
    Mix_CloseAudio();
    Mix_Quit();
    SDL_Quit();
}

} // namespace

void Soundtrack::open() {
    // SDL would otherwise turn SIGINT and SIGTERM into quit events that this
    // program never reads, leaving the demo unkillable from a terminal.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    quietenAlsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return;
    }
    std::atexit(closeAtExit);
    Mix_Init(MIX_INIT_MP3);
    if (Mix_OpenAudioDevice(sampleRate, AUDIO_S16SYS, 2, periodFrames, nullptr,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE) != 0) {
        return;
    }
    music = Mix_LoadMUS("audio.mp3");
}

void Soundtrack::playLooping() {
    if (music != nullptr) {
        Mix_PlayMusic(music, -1);
    }
}
