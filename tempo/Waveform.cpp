#include "Waveform.h"

#include <algorithm>
#include <cmath>

void Waveform::add(const float* samples, std::size_t count, int rate) {
    const auto binSize = static_cast<std::size_t>(std::max(1, rate / binsPerSecond));
    for (std::size_t i = 0; i < count; ++i) {
        sumOfSquares_ += static_cast<double>(samples[i]) * samples[i];
        if (++inBin_ == binSize) {
            close();
        }
    }
}

void Waveform::close() {
    const double rms = std::sqrt(sumOfSquares_ / static_cast<double>(inBin_));
    // Decibels, so that a quiet intro still shows its shape next to the drop.
    const double decibels = 20.0 * std::log10(std::max(rms, 1e-9));
    const double level = std::clamp((decibels + 40.0) / 40.0, 0.0, 1.0);
    levels_.push_back(static_cast<std::uint8_t>(std::lround(level * 255.0)));
    sumOfSquares_ = 0.0;
    inBin_ = 0;
}
