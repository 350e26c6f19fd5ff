#include "OnsetEnvelope.h"

#include "Fft.h"

#include <algorithm>
#include <cmath>

namespace {

// The bands' edges in Hz: from the kick drum's thump to the cymbals' hiss.
constexpr double bandEdges[] = {30, 90, 180, 360, 720, 1440, 2880, 5760, 14000};

// A band's mean power is taken as log(1 + gain * power): quiet passages
// still show their onsets, and silence, or the faint noise of a lossy
// codec, shows none.
constexpr float gain = 1.0e6f;

std::size_t frameSize(int rate) {
    // About 23 ms: short enough to part the beats, long enough to part the
    // lowest band's bins.
    std::size_t size = 64;
    while (static_cast<double>(size) < rate * 0.023) {
        size <<= 1;
    }
    return size;
}

} // namespace

OnsetEnvelope::OnsetEnvelope(int sampleRate)
    : rate_(sampleRate), size_(frameSize(sampleRate)), window_(size_),
      // Half a frame of silence before the track, so that frame n is
      // centred on n / frameRate s.
      pending_(size_ / 2, 0.0f), nextStart_(0.0), fft_(size_), spectrum_(size_) {
    const double pi = std::acos(-1.0);
    for (std::size_t i = 0; i < size_; ++i) {
        window_[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * pi * i / size_));
    }
    const double binWidth = static_cast<double>(rate_) / static_cast<double>(size_);
    for (std::size_t b = 0; b + 1 < std::size(bandEdges); ++b) {
        const auto first = static_cast<std::size_t>(std::ceil(bandEdges[b] / binWidth));
        auto last = static_cast<std::size_t>(std::ceil(bandEdges[b + 1] / binWidth));
        last = std::min(last, size_ / 2);
        if (first < last) {
            bands_.emplace_back(std::max<std::size_t>(first, 1), last);
        }
    }
    previous_.assign(bands_.size(), 0.0f);
}

void OnsetEnvelope::add(const float* samples, std::size_t count) {
    pending_.insert(pending_.end(), samples, samples + count);
    const double hop = rate_ / frameRate;
    std::size_t consumed = 0;
    while (nextStart_ + static_cast<double>(size_) <= static_cast<double>(pending_.size())) {
        const auto start = static_cast<std::size_t>(nextStart_);
        for (std::size_t i = 0; i < size_; ++i) {
            spectrum_[i] = {pending_[start + i] * window_[i], 0.0f};
        }
        analyseFrame();
        nextStart_ += hop;
        consumed = static_cast<std::size_t>(nextStart_);
    }
    // Keep only what the next frames still need.
    consumed = std::min(consumed, pending_.size());
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(consumed));
    nextStart_ -= static_cast<double>(consumed);
}

void OnsetEnvelope::analyseFrame() {
    fft_.transform(spectrum_);
    const float scale = 1.0f / static_cast<float>(size_);
    float rise = 0.0f;
    for (std::size_t b = 0; b < bands_.size(); ++b) {
        float power = 0.0f;
        for (std::size_t k = bands_[b].first; k < bands_[b].second; ++k) {
            power += spectrum_[k].real() * spectrum_[k].real() +
                     spectrum_[k].imag() * spectrum_[k].imag();
        }
        power *= scale * scale / static_cast<float>(bands_[b].second - bands_[b].first);
        const float level = std::log1p(gain * power);
        rise += std::max(0.0f, level - previous_[b]);
        previous_[b] = level;
    }
    values_.push_back(rise / static_cast<float>(bands_.size()));
}
