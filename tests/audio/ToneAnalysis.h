#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace audiotest {

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

// Cuts the signal into 20 ms windows, names each window after the tone that
// carries most of its energy (a Goertzel filter per tone), and joins equal
// neighbours into spans.
std::vector<ToneSpan> toneSpans(const std::vector<float>& samples, int rate,
                                const std::vector<double>& tones);

// The spans that a listener would notice: those shorter than `shortest`
// frames (window-sized transitions, a few milliseconds of encoder padding
// where the track wraps round) are dropped and the neighbours they separated
// joined again.
std::vector<ToneSpan> noticeableSpans(const std::vector<ToneSpan>& spans, std::size_t shortest);

// "440 Hz for 1.00 s at 0.36 s, ..." for failure messages.
std::string describe(const std::vector<ToneSpan>& spans, int rate);

} // namespace audiotest
