#pragma once

#include <memory>
#include <string>

// A piece's soundtrack, played from the piece's time, for vellomirke-live.
// A thread of its own opens the track and then plays it as the frame loop
// asks, so that neither the sound library's loading nor a sound server's
// answer ever holds the picture back. On Linux SDL2 and SDL2_mixer play it
// (Music_sdl.cpp), loaded at run time on that thread; on Windows the
// media-command interface does, as for the demo (Music_mci.cpp). Where the
// file does not exist no thread starts and no sound library is loaded; where
// those libraries, an audio device or a playable file are missing every call
// does nothing: the piece is silent, as the demo is then.
class Music {
  public:
    explicit Music(const std::string& path);
    // Waits for the thread to close the device, except where it may be left
    // still opening until the process ends (MusicTrack.h).
    ~Music();
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    // Plays from `time` seconds of the piece, or holds still while `paused`.
    // Called whenever the piece's time jumps or stops, not every frame: in
    // between, the music runs on by itself at the same pace as the clock.
    // Returns at once; asked while the track is still opening, it plays from
    // where the piece is by the time it is open.
    void follow(double time, bool paused);

  private:
    struct Player; // the thread and what the frame loop last asked of it
    std::shared_ptr<Player> player_;
};
