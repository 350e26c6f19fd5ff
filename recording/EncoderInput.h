#pragma once

#include <cstdint>
#include <functional>

// What a front end hands the VideoEncoder, frame by frame.

// Writes one frame into the encoder's buffer at its argument, in the form
// the encoder was set up to take (VideoEncoder::Settings). Called on the
// front end's thread, while whatever the frame comes from is still there.
using FrameFill = std::function<void(std::uint8_t* frame)>;

// Turns a frame as a FrameFill wrote it into the Y, Cb and Cr planes that
// ffmpeg takes, top row first. Run on the encoder's own thread, off the
// front end's frame loop.
using PlaneConverter = std::function<void(const std::uint8_t* input, std::uint8_t* planes)>;
