#pragma once

#include <optional>
#include <vector>

// A track's pulse: its tempo and where its bars begin.
struct Tempo {
    double bpm = 0.0;
    double firstDownbeat = 0.0; // seconds: the first bar's first beat
};

// The pulse of a track from its onset envelope (OnsetEnvelope.h, values at
// `frameRate` a second), between 60 and 200 beats a minute: the beat grid
// whose beats fall on the strongest onsets, refined to a hundredth of a beat
// a minute over the whole span, and of its beats the one of each
// `beatsPerBar` that starts the most (a new chord, a bass note, a crash) as
// the downbeat. Nothing where no grid stands out from the onsets between
// its beats: a drone, speech, silence, a span too short to tell.
std::optional<Tempo> findTempo(const std::vector<float>& envelope, double frameRate,
                               int beatsPerBar);

// The fewest seconds of a track that a tempo is looked for in.
constexpr double shortestForTempo = 6.0;
