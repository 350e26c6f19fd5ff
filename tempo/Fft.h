#pragma once

#include <complex>
#include <cstddef>
#include <vector>

// The discrete Fourier transform of one size, a power of two, in place. A
// few dozen lines for the onset envelope's short frames, where a library
// would need a Windows build of its own; the twiddle factors are worked out
// once, as the transform runs thousands of times a track.
class Fft {
  public:
    explicit Fft(std::size_t size);

    // `data` must hold `size` values.
    void transform(std::vector<std::complex<float>>& data) const;

  private:
    std::size_t size_;
    std::vector<std::complex<float>> twiddles_; // e^(-2 pi i k / size), k < size / 2
};
