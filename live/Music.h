#pragma once

#include <string>

struct _Mix_Music;

// The piece's soundtrack, played from the piece's time. SDL2 and SDL2_mixer
// are loaded with the first one, at run time, so that the program starts
// without them. Without those libraries, an audio device or a playable file
// every call does nothing: the piece is silent, as the demo is then.
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
    bool deviceOpen_ = false;
    _Mix_Music* music_ = nullptr;
    double duration_ = 0.0; // seconds; 0 where the decoder cannot tell
};
