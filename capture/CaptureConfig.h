#pragma once

#include <string>

// What the capture's front end (vellomirke-capture) asks of the library. It comes through the environment,
// since the demo keeps ignoring its command line:
//   VELLOMIRKE_CAPTURE_FPS     frames per second of video time, 1..240
//   VELLOMIRKE_CAPTURE_VIDEO   the video file to write (H.264, no audio)
//   VELLOMIRKE_CAPTURE_FFMPEG  the ffmpeg program, "ffmpeg" when unset
//   VELLOMIRKE_CAPTURE_CONVERT "gpu" or "cpu": where frames are converted to
//                              YUV; unset, on the CPU under a software
//                              renderer and on the GPU otherwise
enum class ConversionSite { automatic, gpu, cpu };

struct CaptureConfig {
    int fps = 0;
    std::string videoPath;
    std::string ffmpeg;
    ConversionSite conversion = ConversionSite::automatic;
};

// The configuration of this process; throws std::runtime_error naming the
// variable that is missing or wrong.
CaptureConfig captureConfigFromEnvironment();
