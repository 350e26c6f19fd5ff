#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// An ffmpeg process that turns raw RGB frames into an H.264 video file.
// Frames go to it over a socket rather than a pipe, so that an ffmpeg that has
// stopped shows up as a failed write instead of a SIGPIPE that would kill the
// demo.
class VideoEncoder {
  public:
    struct Settings {
        std::string ffmpeg;
        std::string path;
        int width = 0;
        int height = 0;
        int fps = 0;
    };

    // Starts ffmpeg; throws std::runtime_error when it cannot be started.
    explicit VideoEncoder(const Settings& settings);
    // Ends the video if finish() has not.
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // One frame of width x height RGB pixels, top row first. False once
    // ffmpeg takes no more frames; the reason is on standard error.
    bool write(const std::vector<std::uint8_t>& frame);

    // Ends the stream and waits for ffmpeg; true when it wrote the whole file.
    bool finish();

  private:
    int socket_ = -1;
    pid_t pid_ = -1;
    bool failed_ = false;
    bool finished_ = false;
};
