#include "TempoSearch.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>

namespace {

constexpr double slowest = 60.0, fastest = 200.0; // beats a minute

// Onsets stand out from what goes on around them: the envelope less its
// mean over the surrounding half second, never below 0.
std::vector<float> onsetStrength(const std::vector<float>& envelope, double frameRate) {
    const auto half = static_cast<std::ptrdiff_t>(frameRate * 0.25);
    const auto n = static_cast<std::ptrdiff_t>(envelope.size());
    std::vector<double> prefix(envelope.size() + 1, 0.0);
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        prefix[i + 1] = prefix[i] + envelope[i];
    }
    std::vector<float> strength(envelope.size());
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        const std::ptrdiff_t from = std::max<std::ptrdiff_t>(0, i - half);
        const std::ptrdiff_t to = std::min(n, i + half + 1);
        const double mean = (prefix[to] - prefix[from]) / static_cast<double>(to - from);
        strength[i] = static_cast<float>(std::max(0.0, envelope[i] - mean));
    }
    return strength;
}

std::vector<float> smoothed(const std::vector<float>& values, double sigma) {
    const int reach = static_cast<int>(std::ceil(sigma * 3.0));
    std::vector<double> kernel;
    for (int k = -reach; k <= reach; ++k) {
        kernel.push_back(std::exp(-0.5 * k * k / (sigma * sigma)));
    }
    const double sum = std::accumulate(kernel.begin(), kernel.end(), 0.0);
    const auto n = static_cast<int>(values.size());
    std::vector<float> out(values.size());
    for (int i = 0; i < n; ++i) {
        double total = 0.0;
        for (int k = -reach; k <= reach; ++k) {
            const int j = i + k;
            if (j >= 0 && j < n) {
                total += values[static_cast<std::size_t>(j)] *
                         kernel[static_cast<std::size_t>(k + reach)];
            }
        }
        out[static_cast<std::size_t>(i)] = static_cast<float>(total / sum);
    }
    return out;
}

double mean(const std::vector<float>& values) {
    return values.empty() ? 0.0
                          : std::accumulate(values.begin(), values.end(), 0.0) /
                                static_cast<double>(values.size());
}

// The envelope between its frames.
double at(const std::vector<float>& values, double frame) {
    const auto i = static_cast<std::size_t>(frame);
    if (i + 1 >= values.size()) {
        return i < values.size() ? values[i] : 0.0;
    }
    const double f = frame - static_cast<double>(i);
    return values[i] * (1.0 - f) + values[i + 1] * f;
}

// The mean onset strength on the beats of a grid, `period` frames apart
// from `phase` on.
double onBeats(const std::vector<float>& values, double period, double phase) {
    double total = 0.0;
    int beats = 0;
    for (double frame = phase; frame < static_cast<double>(values.size()) - 1.0; frame += period) {
        total += at(values, frame);
        ++beats;
    }
    return beats > 0 ? total / beats : 0.0;
}

struct Grid {
    double period = 0.0; // frames a beat
    double phase = 0.0;  // the first beat's frame
    double score = 0.0;  // mean strength on its beats
};

// The best phase for `period`, tried every `phaseStep` frames.
Grid bestPhase(const std::vector<float>& values, double period, double phaseStep) {
    Grid best{period, 0.0, -1.0};
    for (double phase = 0.0; phase < period; phase += phaseStep) {
        const double score = onBeats(values, period, phase);
        if (score > best.score) {
            best = {period, phase, score};
        }
    }
    return best;
}

// The best grid with a tempo from `lowBpm` to `highBpm`, `bpmStep` apart.
Grid bestGrid(const std::vector<float>& values, double frameRate, double lowBpm, double highBpm,
              double bpmStep, double phaseStep) {
    Grid best;
    best.score = -1.0;
    for (double bpm = lowBpm; bpm <= highBpm + 1e-9; bpm += bpmStep) {
        const Grid grid = bestPhase(values, 60.0 * frameRate / bpm, phaseStep);
        if (grid.score > best.score) {
            best = grid;
        }
    }
    return best;
}

double bpmOf(const Grid& grid, double frameRate) {
    return 60.0 * frameRate / grid.period;
}

} // namespace

std::optional<Tempo> findTempo(const std::vector<float>& envelope, double frameRate,
                               int beatsPerBar) {
    if (envelope.size() < static_cast<std::size_t>(shortestForTempo * frameRate) ||
        beatsPerBar < 1) {
        return std::nullopt;
    }
    const std::vector<float> strength = onsetStrength(envelope, frameRate);
    // Onsets spread a little for the coarse search, whose neighbouring
    // tempi drift apart by tens of milliseconds over the span; hardly at all
    // for the fine one.
    const std::vector<float> broad = smoothed(strength, frameRate * 0.03);
    const std::vector<float> sharp = smoothed(strength, frameRate * 0.008);
    const double level = mean(sharp);
    if (level <= 1e-4) {
        return std::nullopt; // silence, or nothing that starts
    }

    Grid coarse = bestGrid(broad, frameRate, slowest, fastest, 0.25, 1.0);
    // Half the tempo fits the beats as well as the tempo itself, being made
    // of every other beat; the faster of the two is the pulse where its
    // extra beats are nearly as strong. The slower one stays where they are
    // only off-beats (hi-hats between the kicks).
    for (;;) {
        const double doubled = bpmOf(coarse, frameRate) * 2.0;
        if (doubled > fastest + 1.0) {
            break;
        }
        const Grid faster = bestGrid(broad, frameRate, doubled * 0.99, doubled * 1.01, 0.25, 1.0);
        if (faster.score < 0.85 * coarse.score) {
            break;
        }
        coarse = faster;
    }
    const double found = bpmOf(coarse, frameRate);
    const Grid fine = bestGrid(sharp, frameRate, found - 0.4, found + 0.4, 0.01, 0.25);

    // A steady beat stands well out from the onsets between its beats, on
    // most of them (a track may begin and end without it); any grid catches
    // a few strong onsets of a track without one by chance, two to three
    // times fewer than a beat's.
    std::size_t hits = 0, beats = 0;
    for (double frame = fine.phase; frame < static_cast<double>(sharp.size()) - 1.0;
         frame += fine.period, ++beats) {
        hits += at(sharp, frame) > level ? 1 : 0;
    }
    if (fine.score < 2.5 * level || hits * 5 < beats * 3) {
        return std::nullopt;
    }

    // The downbeat: the beat of the bar on which the most starts.
    double strongest = -1.0;
    double downbeat = fine.phase;
    for (int beat = 0; beat < beatsPerBar; ++beat) {
        const double phase = fine.phase + beat * fine.period;
        const double score = onBeats(sharp, fine.period * beatsPerBar, phase);
        if (score > strongest) {
            strongest = score;
            downbeat = phase;
        }
    }
    // A downbeat a hair before the track's start is its start.
    const double bar = fine.period * beatsPerBar;
    if (downbeat - bar > -0.05 * frameRate) {
        downbeat -= bar;
    }
    return Tempo{bpmOf(fine, frameRate), std::max(0.0, downbeat / frameRate)};
}
