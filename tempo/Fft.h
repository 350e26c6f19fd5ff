#pragma once

#include <complex>
#include <vector>

// The discrete Fourier transform of `data` in place; its size must be a
// power of two. A few dozen lines for the onset envelope's short frames,
// where a library would need a Windows build of its own.
void fft(std::vector<std::complex<float>>& data);
