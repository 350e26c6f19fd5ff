#include "Fft.h"

#include <cmath>
#include <utility>

Fft::Fft(std::size_t size) : size_(size) {
    const double pi = std::acos(-1.0);
    for (std::size_t k = 0; k < size / 2; ++k) {
        const double angle = -2.0 * pi * static_cast<double>(k) / static_cast<double>(size);
        twiddles_.emplace_back(static_cast<float>(std::cos(angle)),
                               static_cast<float>(std::sin(angle)));
    }
}

void Fft::transform(std::vector<std::complex<float>>& data) const {
    const std::size_t n = size_;
    // Bit-reversed order first, so that the butterflies below work in place.
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; (j & bit) != 0; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(data[i], data[j]);
        }
    }
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const std::size_t stride = n / length; // through the table of the whole size
        for (std::size_t k = 0; k < length / 2; ++k) {
            const float c = twiddles_[k * stride].real();
            const float s = twiddles_[k * stride].imag();
            for (std::size_t at = k; at < n; at += length) {
                // Products written out: std::complex's operator* checks for
                // infinities and NaNs on every call, which costs more than
                // the rest.
                const std::complex<float> even = data[at];
                const std::complex<float> o = data[at + length / 2];
                const std::complex<float> odd(o.real() * c - o.imag() * s,
                                              o.real() * s + o.imag() * c);
                data[at] = even + odd;
                data[at + length / 2] = even - odd;
            }
        }
    }
}
