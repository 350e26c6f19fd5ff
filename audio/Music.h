#pragma once

#include <memory>
#include <string>

// The piece's soundtrack, played from the piece's time. On Linux SDL2 and
// SDL2_mixer play it (Music.cpp), loaded with the first one at run time so
// that the program starts without them; on Windows the media-command
// interface does, as for the demo (Music_mci.cpp). Without those libraries,
// an audio device or a playable file every call does nothing: the piece is
// silent, as the demo is then.
class Music {
  public:
    explicit Music(const std::string& path);
    ~Music();
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    // Plays from `time` seconds of the piece, or holds still while `paused`.
    // Called whenever the piece's time jumps or stops, not every frame: in
    // between, the music runs on by itself at the same pace as the clock.
    void follow(double time, bool paused);

  private:
    struct Player; // the platform's device and track
    std::unique_ptr<Player> player_;
};
