#pragma once

#include "PlaneLayout.h"

#include <cstdint>

// The order of the four bytes of a pixel as the GL reads them back.
enum class PixelOrder { rgba, bgra };

// Converts a layout.width x layout.height picture of 4-byte pixels, rows
// tightly packed and bottom row first as glReadPixels gives them, into the
// Y, Cb and Cr planes that ffmpeg takes, top row first: BT.709 in its
// limited range, each chroma sample from the mean of its 2 x 2 pixels, with
// the GPU pass's coefficients. The fourth byte of each pixel is ignored.
void convertToYuv420(const std::uint8_t* pixels, PixelOrder order, const PlaneLayout& layout,
                     std::uint8_t* planes);
