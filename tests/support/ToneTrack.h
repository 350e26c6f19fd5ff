#pragma once

#include "TempDir.h"

#include <string>
#include <vector>

namespace testsupport {

// A stretch of a synthesised soundtrack: a sine at `frequency` Hz, or
// silence where it is 0.
struct Tone {
    double frequency;
    double seconds;
};

// Synthesises `tones` one after another with sox, stereo at `rate` and half
// amplitude (which keeps the MP3 encoder from clipping), into `dir` as `name`;
// the name's extension picks the format (MP3, WAV, ...). Throws if sox
// cannot make it (it needs sox and libsox-fmt-mp3).
void writeTones(const TempDir& dir, const std::string& name, const std::vector<Tone>& tones,
                int rate = 48000);

} // namespace testsupport
