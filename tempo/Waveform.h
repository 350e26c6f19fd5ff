#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// How loud a track is, fifty times a second: the level of each fiftieth of
// a second on a scale of 0 (40 dB below full scale, or quieter) to 255
// (full scale). Samples go in as they are decoded; a minute of track takes
// 3000 bytes.
class Waveform {
  public:
    static constexpr int binsPerSecond = 50;

    void add(const float* samples, std::size_t count, int rate);

    const std::vector<std::uint8_t>& levels() const { return levels_; }

  private:
    void close();

    std::vector<std::uint8_t> levels_;
    double sumOfSquares_ = 0.0;
    std::size_t inBin_ = 0; // samples in the bin being filled
};
