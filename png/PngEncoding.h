#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

// The platform's part of writeRgbPng (PngFile_libpng.cpp on Linux,
// PngFile_stb.cpp on Windows): encodes `width` x `height` 8-bit RGB rows,
// top row first, as PNG into `file`, which is open for writing. The sizes are
// already checked against the rows. False when encoding or writing failed.
bool encodePng(std::FILE* file, int width, int height, const std::vector<std::uint8_t>& rgb);
