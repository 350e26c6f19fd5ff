#pragma once

#include <memory>
#include <string>

// One platform's way of playing a piece's track, behind Music: every call
// comes from Music's own thread. Music_sdl.cpp and Music_mci.cpp each give
// one.
class MusicTrack {
  public:
    virtual ~MusicTrack() = default; // stops the track and closes the device
    MusicTrack(const MusicTrack&) = delete;
    MusicTrack& operator=(const MusicTrack&) = delete;

    // Seconds; 0 where the decoder cannot tell.
    virtual double duration() const = 0;
    // Plays from `seconds` into the track.
    virtual void playFrom(double seconds) = 0;
    virtual void pause() = 0;
    // Whether the track starts again from its beginning by itself when it
    // ends; otherwise Music plays it again from 0 when its end is due.
    virtual bool loopsByItself() const = 0;

  protected:
    MusicTrack() = default;
};

// Opens the device and the track at `path`; null without a device or a
// playable file. It may take long: a sound server's answer, a codec list
// built on first use.
std::unique_ptr<MusicTrack> openMusicTrack(const std::string& path);

// Whether a thread still in openMusicTrack when the piece closes may be left
// to the end of the process rather than waited for.
extern const bool musicOpeningMayBeLeft;
