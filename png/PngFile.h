#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes 8-bit RGB rows, top row first, as a PNG file. Returns false when the
// file cannot be created or written, with errno saying why; a file it began
// is removed then.
bool writeRgbPng(const std::string& path, int width, int height,
                 const std::vector<std::uint8_t>& rgb);
