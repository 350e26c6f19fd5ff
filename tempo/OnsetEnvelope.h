#pragma once

#include "Fft.h"

#include <complex>
#include <cstddef>
#include <vector>

// How strongly new sound starts, moment by moment: for each short frame of
// the track, by how much the energy rose since the frame before, in eight
// bands an octave wide, each on a logarithmic scale and all of equal weight,
// so that a kick drum counts as much as a hi-hat and a held pad next to
// nothing. Samples go in as they are decoded; only a frame's worth is kept.
class OnsetEnvelope {
  public:
    static constexpr double frameRate = 200.0; // values a second

    explicit OnsetEnvelope(int sampleRate);

    void add(const float* samples, std::size_t count);

    // One value per frame; value n is for the moment n / frameRate s into
    // the track (its frame is centred there).
    const std::vector<float>& values() const { return values_; }

  private:
    void analyseFrame();

    int rate_;
    std::size_t size_;           // samples a frame, a power of two
    std::vector<float> window_;  // Hann
    std::vector<float> pending_; // samples from the next frame's start on
    double nextStart_;           // the next frame's start, in samples from the first pending
    std::vector<std::pair<std::size_t, std::size_t>> bands_; // bins [first, last)
    std::vector<float> previous_;                            // the last frame's band levels
    Fft fft_;
    std::vector<std::complex<float>> spectrum_;
    std::vector<float> values_;
};
