#include "Music.h"

#include "MixerLibrary.h"
#include "QuietAlsa.h"

#include <cmath>

namespace {

// The demo's output format: 512 frames at 48 kHz keep a seek audible within
// about 11 ms.
constexpr int sampleRate = 48000;
constexpr int periodFrames = 512;

// SDL2 and SDL2_mixer, loaded with the first Music; null where they are not
// installed, and the piece is silent.
struct Mixer {
    MixerLibrary calls;
    MixerSeeking seeking;
};

const Mixer* mixer() {
    static Mixer loaded;
    static const bool ok = loadMixerSeeking(loaded.calls, loaded.seeking);
    return ok ? &loaded : nullptr;
}

} // namespace

struct Music::Player {
    bool deviceOpen = false;
    Mix_Music* music = nullptr;
    double duration = 0.0; // seconds; 0 where the decoder cannot tell
};

Music::Music(const std::string& path) : player_(std::make_unique<Player>()) {
    const Mixer* sdl = mixer();
    if (sdl == nullptr) {
        return;
    }
    // SDL would otherwise take SIGINT and SIGTERM for quit events that this
    // program never reads, and Ctrl+C in the terminal would do nothing.
    sdl->calls.setHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    quietenAlsa();
    if (sdl->calls.initSubSystem(SDL_INIT_AUDIO) != 0) {
        return;
    }
    if (sdl->seeking.openAudio(sampleRate, AUDIO_S16SYS, 2, periodFrames) != 0) {
        sdl->seeking.quitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    // Chosen by content, as the demo does, so a WAV or Ogg file saved as
    // audio.mp3 plays the same in both.
    player_->music = sdl->calls.loadMusicRW(sdl->calls.rwFromFile(path.c_str(), "rb"), 1);
    if (player_->music == nullptr) {
        // Nothing to play: an open device would only mix silence on SDL's
        // audio thread for as long as the piece runs.
        sdl->calls.closeAudio();
        sdl->seeking.quitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    player_->deviceOpen = true;
    player_->duration = sdl->seeking.musicDuration(player_->music);
}

Music::~Music() {
    const Mixer* sdl = mixer();
    if (player_->music != nullptr) {
        sdl->calls.haltMusic();
        sdl->calls.freeMusic(player_->music);
    }
    if (player_->deviceOpen) {
        sdl->calls.closeAudio();
        sdl->seeking.quitSubSystem(SDL_INIT_AUDIO);
    }
}

void Music::follow(double time, bool paused) {
    if (player_->music == nullptr) {
        return;
    }
    const Mixer* sdl = mixer();
    if (paused) {
        sdl->seeking.pauseMusic();
        return;
    }
    // The demo loops a track shorter than the piece, so 12.5 s of the piece
    // is 2.5 s into a 10 s track's second round.
    const double duration = player_->duration;
    double position = duration > 0.0 ? std::fmod(time, duration) : time;
    // Starting afresh at the position, rather than resuming, leaves no
    // earlier state behind: a paused, seeked or ended track all come out
    // playing from the right place, and looping from the start afterwards.
    sdl->seeking.fadeInMusicPos(player_->music, -1, 0, position);
}
