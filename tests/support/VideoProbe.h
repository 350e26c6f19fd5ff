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
    std::string profile;   // "High", "LC"...
    int level = -1;        // H.264's level times ten: 41 for 4.1
    std::string frameRate; // frames a second on average, as a fraction: "30/1"
    std::string pixelFormat;
    std::string colourSpace, colourTransfer, colourPrimaries, colourRange;
    int width = 0;
    int height = 0;
    int channels = 0;
    double startTime = -1;
    double duration = -1;
    long decodedFrames = -1; // frames (video) or packets of samples (audio) decoded
    long bitRate = -1;       // bits a second
};

std::vector<Stream> streams(const std::string& video);

// Expects what the capture promises of its file: H.264 High profile video at
// 1920x1080 in yuv420p, tagged BT.709 in limited range; stereo AAC-LC sound
// at up to `audioBitRate` bits a second; the index (moov) before the media,
// so that it streams.
void expectDeliveryFormat(const std::string& video, long audioBitRate);

// Expects what --party promises: H.264 Main profile at level 4.1 or lower,
// 1920x1080 at 30 frames a second, encoded in two passes by x264 at 6 Mbit/s
// or more; stereo AAC-LC at `audioBitRate` or more; the index first.
void expectPartyFormat(const std::string& video, long audioBitRate);

// The options that x264 recorded in the stream ("rc=2pass", "bitrate=8000"
// ...), empty when x264 did not write it.
std::vector<std::string> x264Options(const std::string& video);

// The types of the file's top-level boxes in their order ("ftyp", "moov",
// "mdat"...): a file that streams has its index, moov, before the media.
std::vector<std::string> topLevelBoxes(const std::string& file);

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
