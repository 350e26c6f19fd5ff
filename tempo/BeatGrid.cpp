#include "BeatGrid.h"

#include <algorithm>
#include <cmath>

namespace {

// A moment this close after a beat counts as on it: a key is pressed a
// little after what the author heard.
constexpr double justPassed = 0.08; // seconds

// Rounding: a time computed from a beat's index is on that beat.
constexpr double onTheBeat = 1e-6; // beats

} // namespace

long BeatGrid::beatIndexAt(double time) const {
    return static_cast<long>(std::floor((time - firstDownbeat) / beatLength() + onTheBeat));
}

BeatGrid::Position BeatGrid::positionAt(double time) const {
    const long index = beatIndexAt(time);
    const long bar = static_cast<long>(std::floor(static_cast<double>(index) / beatsPerBar));
    const double fraction = std::max(0.0, (time - beatTime(index)) / beatLength());
    return {bar + 1, static_cast<int>(index - bar * beatsPerBar) + 1, std::fmin(fraction, 1.0)};
}

double BeatGrid::nextBeat(double time) const {
    return beatTime(beatIndexAt(time) + 1);
}

double BeatGrid::previousBeat(double time) const {
    return beatTime(beatIndexAt(time - justPassed - onTheBeat * beatLength()));
}

double BeatGrid::barStart(double time) const {
    const long index = beatIndexAt(time);
    return beatTime(static_cast<long>(std::floor(static_cast<double>(index) / beatsPerBar)) *
                    beatsPerBar);
}

double BeatGrid::nextBar(double time) const {
    return barStart(time) + barLength();
}

double BeatGrid::previousBar(double time) const {
    return barStart(time - justPassed - onTheBeat * beatLength());
}

double BeatGrid::nearestSixteenth(double time) const {
    const double sixteenth = beatLength() / 4.0;
    return firstDownbeat + std::round((time - firstDownbeat) / sixteenth) * sixteenth;
}
