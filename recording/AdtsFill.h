#pragma once

#include <cstdint>
#include <string>

// AAC in ADTS frames, each brought up to a floor of bits a second by fill
// elements, which every decoder reads past. An AAC encoder that aims at an
// average spends next to nothing on silence or a flat sound, so the file as a
// whole falls below the bit rate that some video rules ask of the sound;
// padding raises it with no change to a single decoded sample.
//
// Takes frames as ffmpeg's adts muxer writes them: no CRC and one raw data
// block a frame. Any other input, a cut frame or a frame that the padding
// would make too long for its header is refused with a std::runtime_error
// that names the byte offset of the frame at fault.
std::string fillAdtsToBitRate(const std::string& adts, long bitsPerSecond);

// The bytes one frame's raw data block must hold to reach `bitsPerSecond` at
// `sampleRate`: a frame carries 1024 samples of each channel.
long adtsFrameFloorBytes(long bitsPerSecond, long sampleRate);
