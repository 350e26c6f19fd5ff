#include "Music.h"

#include "QuietAlsa.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cmath>

namespace {

// The demo's output format: 512 frames at 48 kHz keep a seek audible within
// about 11 ms.
constexpr int sampleRate = 48000;
constexpr int periodFrames = 512;

} // namespace

Music::Music(const std::string& path) {
    // SDL would otherwise take SIGINT and SIGTERM for quit events that this
    // program never reads, and Ctrl+C in the terminal would do nothing.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    quietenAlsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return;
    }
    if (Mix_OpenAudio(sampleRate, AUDIO_S16SYS, 2, periodFrames) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    deviceOpen_ = true;
    // Chosen by content, as the demo does, so a WAV or Ogg file saved as
    // audio.mp3 plays the same in both.
    music_ = Mix_LoadMUS_RW(SDL_RWFromFile(path.c_str(), "rb"), 1);
    if (music_ != nullptr) {
        duration_ = Mix_MusicDuration(music_);
    }
}

Music::~Music() {
    if (music_ != nullptr) {
        Mix_HaltMusic();
        Mix_FreeMusic(music_);
    }
    if (deviceOpen_) {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void Music::follow(double time, bool paused) {
    if (music_ == nullptr) {
        return;
    }
    if (paused) {
        Mix_PauseMusic();
        return;
    }
    // The demo loops a track shorter than the piece, so 12.5 s of the piece
    // is 2.5 s into a 10 s track's second round.
    double position = duration_ > 0.0 ? std::fmod(time, duration_) : time;
    // Starting afresh at the position, rather than resuming, leaves no
    // earlier state behind: a paused, seeked or ended track all come out
    // playing from the right place, and looping from the start afterwards.
    Mix_FadeInMusicPos(music_, -1, 0, position);
}
