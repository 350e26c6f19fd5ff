// The soundtrack's analysis on samples made here: the tempo and downbeat of
// a pulse, none where there is no pulse, the beat grid's arithmetic, and the
// loudness that the strip draws.
#include "BeatGrid.h"
#include "OnsetEnvelope.h"
#include "TempoSearch.h"
#include "Waveform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int rate = 22050;

// `seconds` of quiet noise with a click on every beat from `firstDownbeat`,
// the first of each bar of four twice as loud; or no clicks where bpm is 0.
std::vector<float> clicks(double bpm, double firstDownbeat, double seconds) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    std::vector<float> samples(static_cast<std::size_t>(seconds * rate));
    for (float& sample : samples) {
        sample = 0.01f * noise(random);
    }
    for (int beat = 0; bpm > 0.0; ++beat) {
        const auto start = static_cast<std::size_t>((firstDownbeat + beat * 60.0 / bpm) * rate);
        if (start >= samples.size()) {
            break;
        }
        const float loudness = beat % 4 == 0 ? 0.8f : 0.4f;
        for (std::size_t i = 0; i < 400 && start + i < samples.size(); ++i) {
            samples[start + i] += loudness * std::exp(-float(i) / 80.0f) * noise(random);
        }
    }
    return samples;
}

// The samples fed as a decoder hands them over, in blocks of odd sizes.
std::optional<Tempo> tempoOf(const std::vector<float>& samples) {
    OnsetEnvelope onsets(rate);
    for (std::size_t at = 0; at < samples.size(); at += 1153) {
        onsets.add(samples.data() + at, std::min<std::size_t>(1153, samples.size() - at));
    }
    return findTempo(onsets.values(), OnsetEnvelope::frameRate, 4);
}

} // namespace

TEST(Tempo, FindsThePulseAndItsDownbeatAndNothingWithoutOne) {
    for (const double bpm : {63.0, 100.0, 150.5, 197.0}) {
        const std::optional<Tempo> found = tempoOf(clicks(bpm, 0.5, 20.0));
        ASSERT_TRUE(found) << bpm;
        EXPECT_NEAR(found->bpm, bpm, 0.1);
        EXPECT_NEAR(found->firstDownbeat, 0.5, 0.015) << bpm;
    }
    // A downbeat a hair before the start is the start, not a bar later.
    EXPECT_NEAR(tempoOf(clicks(120.0, 0.0, 20.0))->firstDownbeat, 0.0, 0.015);
    EXPECT_FALSE(tempoOf(clicks(0.0, 0.0, 20.0))) << "a pulse in noise";
    EXPECT_FALSE(tempoOf(std::vector<float>(20 * rate, 0.0f))) << "a pulse in silence";
    EXPECT_FALSE(tempoOf(clicks(120.0, 0.0, shortestForTempo - 1.0))) << "too short to tell";
}

TEST(Tempo, TheBeatGridCountsBarsAndMovesOntoBeats) {
    const BeatGrid grid{120.0, 0.35, 4}; // a beat every half second
    const BeatGrid::Position at = grid.positionAt(15.0);
    EXPECT_EQ(at.bar, 8);
    EXPECT_EQ(at.beat, 2);
    EXPECT_NEAR(at.fraction, 0.3, 1e-9);
    // Before the first downbeat: the pickup, bar 0.
    EXPECT_EQ(grid.positionAt(0.1).bar, 0);
    EXPECT_EQ(grid.positionAt(0.1).beat, 4);
    // On a beat, and held to the beat's own time despite rounding.
    EXPECT_EQ(grid.positionAt(grid.beatTime(29)).beat, 2);
    EXPECT_NEAR(grid.nextBeat(15.0), 15.35, 1e-9);
    EXPECT_NEAR(grid.nextBeat(15.35), 15.85, 1e-9);
    // Just past a beat, back goes to the one before it.
    EXPECT_NEAR(grid.previousBeat(15.37), 14.85, 1e-9);
    EXPECT_NEAR(grid.previousBeat(15.6), 15.35, 1e-9);
    EXPECT_NEAR(grid.barStart(15.0), 14.35, 1e-9);
    EXPECT_NEAR(grid.nextBar(15.0), 16.35, 1e-9);
    EXPECT_NEAR(grid.previousBar(14.36), 12.35, 1e-9);
    EXPECT_NEAR(grid.nearestSixteenth(15.05), 15.1, 1e-9);
}

TEST(Tempo, TheWaveformIsSmallAndFollowsTheLoudness) {
    std::vector<float> minute(60 * rate, 0.5f);
    for (std::size_t i = 0; i < minute.size() / 2; ++i) {
        minute[i] = 0.005f; // 40 dB quieter in the first half
    }
    Waveform waveform;
    waveform.add(minute.data(), minute.size(), rate);
    const auto& levels = waveform.levels();
    ASSERT_EQ(levels.size(), 60u * Waveform::binsPerSecond); // 3000 bytes a minute
    EXPECT_LT(levels.front(), 10);
    EXPECT_GT(levels.back(), 200);
}
