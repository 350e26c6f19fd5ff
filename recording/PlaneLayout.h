#pragma once

#include <cstddef>
#include <cstdint>

// Where the samples of a width x height picture in YUV 4:2:0 lie, in two
// forms. The GPU writes them into an RGBA8 target, four samples per texel:
// one luma row per target row, then the Cb plane and the Cr plane with two
// chroma rows side by side in each target row. ffmpeg takes them as three
// tightly packed planes, top row first. For the usual sizes (width a multiple
// of 8, height of 4) the two forms are the same bytes.
struct PlaneLayout {
    PlaneLayout(int width, int height);

    int width;
    int height;
    int chromaWidth;  // samples per chroma row
    int chromaHeight; // chroma rows per plane
    int rowTexels;    // texels per target row, an even number
    int chromaRows;   // target rows per chroma plane
    int targetHeight; // target rows in all

    std::size_t targetBytes() const;
    std::size_t planeBytes() const;

    // Copies a read-back target into the planes ffmpeg takes.
    void unpack(const std::uint8_t* target, std::uint8_t* planes) const;
};
