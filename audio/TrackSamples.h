#pragma once

#include <cstddef>
#include <functional>
#include <string>

// A track decoded for analysis rather than played: its samples from the
// start, as mono (the channels' mean, -1 to 1), handed over block by block
// as they come, so that nothing holds the whole track. For
// vellomirke-live's timeline. On Linux libmpg123 decodes it
// (TrackSamples_mpg123.cpp), the decoder that SDL2_mixer plays MP3 with; on
// Windows the system's Media Foundation source reader does
// (TrackSamples_mf.cpp), which needs no DLL beside the program.
struct TrackSamples {
    enum class Result { Decoded, NotDecodable, NoDecoder };
    Result result = Result::NoDecoder;
    int rate = 0;         // samples a second, as the track has them
    double seconds = 0.0; // how much was decoded
    bool ended = false;   // the track ended before `maxSeconds`: `seconds` is its length
    std::string decoder;  // who decoded it, in words: "libmpg123"
    std::string problem;  // for NotDecodable and NoDecoder: why, in words
};

// `samples` holds `count` mono samples at `rate`; returns false to stop.
using TakeSamples = std::function<bool(const float* samples, std::size_t count, int rate)>;

// Decodes the track at `path` from its start up to `maxSeconds` (or its
// end), handing each block to `take`. Safe to call on any thread, and on
// several at once.
TrackSamples decodeTrack(const std::string& path, double maxSeconds, const TakeSamples& take);
