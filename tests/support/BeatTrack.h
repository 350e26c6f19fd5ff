#pragma once

#include "TempDir.h"

#include <string>

namespace testsupport {

// A dance track of known tempo: a kick on every beat, a bass note on every
// beat whose root changes each bar, a pad chord struck on each downbeat and
// hi-hats on the eighths between the beats, straight or swung (played two
// thirds of the way through the beat rather than half). Before
// `firstDownbeat` there is silence.
struct BeatPattern {
    double bpm = 120.0;
    double firstDownbeat = 0.0; // seconds
    bool swung = false;
    double seconds = 30.0;
    int rate = 44100;
};

// Synthesises `pattern` into `dir` as `name`, an MP3 that lame encodes
// (stereo at 192 kbit/s; below 32 kHz mono at 32 kbit/s), with the LAME
// header that tells decoders its delay; throws where lame cannot.
void writeBeatTrack(const TempDir& dir, const std::string& name, const BeatPattern& pattern);

} // namespace testsupport
