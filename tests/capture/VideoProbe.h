#pragma once

#include "XClient.h"

#include <cstdint>
#include <string>
#include <vector>

// What ffprobe and ffmpeg make of a video file, for checking what the capture
// wrote.
namespace videoprobe {

struct Stream {
    std::string type; // "video" or "audio"
    std::string codec;
    std::string pixelFormat;
    int width = 0;
    int height = 0;
    double startTime = -1;
    double duration = -1;
    long decodedFrames = -1; // frames (video) or packets of samples (audio) decoded
};

std::vector<Stream> streams(const std::string& video);

// Every frame, decoded and shrunk to width x height by averaging areas, so
// that each pixel stands for a block of the full picture. Top row first.
struct SmallFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    testsupport::Rgb at(int x, int y) const;
};
std::vector<SmallFrame> frames(const std::string& video, int width, int height);

// The first audio stream as mono 16-bit samples at `rate` samples a second.
std::vector<std::int16_t> audio(const std::string& video, int rate);

} // namespace videoprobe
