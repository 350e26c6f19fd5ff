#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace audiotest {

// The rate at which the soundtrack opens its output device; SDL's disk
// driver writes at this rate.
constexpr int deviceRate = 48000;

// The test track: `toneSeconds` of `lowTone`, then as long of `highTone`.
// Two tones an octave apart tell the start of the track from its end, so
// their order shows where playback started and where it wrapped round.
constexpr double lowTone = 440.0;
constexpr double highTone = 880.0;
constexpr double toneSeconds = 1.0;

// What SDL's disk driver and parec write here: raw signed 16-bit
// little-endian samples, two interleaved channels.
constexpr std::size_t bytesPerFrame = 4;

// Frames in such a file as it is now, while the writer may still be adding.
std::size_t frameCount(const std::string& path);

// The file's whole frames, both channels averaged, scaled to [-1, 1].
std::vector<float> readStereoAsMono(const std::string& path);

// The first frame that stands out from silence (dither and rounding stay far
// below `level`), if any.
std::optional<std::size_t> firstAudibleFrame(const std::vector<float>& samples,
                                             float level = 0.02f);

// A stretch of the signal that holds one of the tones looked for, silence
// (frequency 0) or something else (frequency -1: a change of tone inside one
// analysis window, noise).
struct ToneSpan {
    double frequency;
    std::size_t start;  // frames
    std::size_t length; // frames
};

// The spans of `tones` that `samples` hold, each window of 20 ms named after
// the tone that carries most of its energy (a Goertzel filter per tone).
// Spans shorter than `shortest` seconds (window-sized transitions, a few
// milliseconds of encoder padding where the track wraps round) are dropped
// and the neighbours they separated joined again: what a listener notices.
// Those under 0.1 s (dropouts of a busy machine) go first, so that the
// pieces of one tone they cut are joined before their lengths count.
std::vector<ToneSpan> spansOfTones(const std::vector<float>& samples,
                                   const std::vector<double>& tones = {lowTone, highTone},
                                   double shortest = 0.1);

// "440 Hz for 1.000 s at 0.360 s, ..." for failure messages.
std::string describe(const std::vector<ToneSpan>& spans);

} // namespace audiotest
