#pragma once

#include <string>

// What the player of this system makes of a track, without playing it or
// touching a sound device: for `vellomirke-live --check`. On Linux
// SDL2_mixer's decoders open it (TrackProbe_sdl.cpp, on SDL's dummy audio
// driver), as the demo's player opens its soundtrack; on Windows the
// media-command interface does (TrackProbe_mci.cpp), as the demo's does. A
// player opens a track by reading its headers and first frames: damage
// further on is not found.
struct TrackProbe {
    enum class Result { Playable, NotPlayable, NoPlayer };
    Result result = Result::NoPlayer;
    double seconds = 0.0; // the track's length; 0 where the player cannot tell
    std::string player;   // who was asked, in words: "SDL2_mixer"
};

TrackProbe probeTrack(const std::string& path);
