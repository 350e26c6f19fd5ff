// A piece's track through SDL2_mixer, on a device opened as the demo opens
// its own (MixerDevice.h).
#include "MusicTrack.h"

#include "MixerDevice.h"

namespace {

class SdlTrack final : public MusicTrack {
  public:
    SdlTrack(const MixerLibrary& sdl, Mix_Music* music)
        : sdl_(sdl), music_(music), duration_(sdl.musicDuration(music)) {}

    ~SdlTrack() override {
        sdl_.haltMusic();
        sdl_.freeMusic(music_);
        sdl_.closeAudio();
        sdl_.quitSubSystem(SDL_INIT_AUDIO);
    }

    double duration() const override { return duration_; }
    // -1: from the start again each time the track ends.
    void playFrom(double seconds) override { sdl_.fadeInMusicPos(music_, -1, 0, seconds); }
    void pause() override { sdl_.pauseMusic(); }
    bool loopsByItself() const override { return true; }

  private:
    const MixerLibrary& sdl_;
    Mix_Music* music_;
    double duration_;
};

} // namespace

// SDL's drivers may wait on a sound server for as long as it takes to
// answer, and a hung one never does; the piece must still close. Closing SDL
// under that thread would pull its state away, so it is left, with its
// device, to the end of the process, as the demo leaves its own.
const bool musicOpeningMayBeLeft = true;

std::unique_ptr<MusicTrack> openMusicTrack(const std::string& path) {
    const MixerLibrary* sdl = mixerLibrary();
    if (sdl == nullptr) {
        return nullptr;
    }
    if (!openMixerDevice(*sdl)) {
        sdl->quitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    Mix_Music* music = loadTrack(*sdl, path.c_str());
    if (music == nullptr) {
        // Nothing to play: an open device would only mix silence on SDL's
        // audio thread for as long as the piece runs.
        sdl->closeAudio();
        sdl->quitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    return std::make_unique<SdlTrack>(*sdl, music);
}
