#pragma once

#include "TempDir.h"

#include <string>

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

// Synthesises the test track into `dir` as `name` (MP3 or, by its extension,
// another format), throwing if it cannot.
void writeTwoToneTrack(const testsupport::TempDir& dir, const std::string& name);

} // namespace audiotest
