// A piece's track through the Windows media-command interface, as the demo
// plays its own. The interface has no seek that works everywhere (Wine's
// player answers "seek" with an error) and its "repeat" loops back to where
// the play began, so every change of place is a "play ... from", and Music
// starts the track again itself where it ends.
#include "MusicTrack.h"

#include "MediaCommand.h"

#include <cstdlib>

namespace {

class MciTrack final : public MusicTrack {
  public:
    explicit MciTrack(double duration) : duration_(duration) {}
    // The track goes as the piece closes, on its way out of the process.
    ~MciTrack() override {
        if (closeBeforeExit()) {
            mediaCommand("close music");
        }
    }

    double duration() const override { return duration_; }
    void playFrom(double seconds) override {
        mediaCommand("play music from " + std::to_string(static_cast<long long>(seconds * 1000.0)));
    }
    void pause() override { mediaCommand("pause music"); }
    bool loopsByItself() const override { return false; }

  private:
    double duration_;
};

} // namespace

// Opening can take seconds (the first ever run of Wine's player builds its
// codec list), but it ends, and the device must be closed before the
// process ends (MediaCommand.h): the piece waits for it.
const bool musicOpeningMayBeLeft = false;

std::unique_ptr<MusicTrack> openMusicTrack(const std::string& path) {
    if (!openMediaTrack(path, "music")) {
        return nullptr; // no file, not audio, or no device: silent
    }
    mediaCommand("set music time format milliseconds");
    std::string length;
    const double duration =
        mediaCommand("status music length", &length) ? std::atof(length.c_str()) / 1000.0 : 0.0;
    return std::make_unique<MciTrack>(duration);
}
