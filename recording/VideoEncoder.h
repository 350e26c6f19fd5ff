#pragma once

#include "EncoderInput.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

// An ffmpeg process that turns raw YUV 4:2:0 frames into an H.264 video file.
// Frames go to it over a socket rather than a pipe, so that an ffmpeg that has
// stopped shows up as a failed write instead of a SIGPIPE that would kill the
// recording process (for capture/, the demo itself). A thread of the
// encoder's own feeds the socket from a short queue, so that the frame loop
// goes on drawing while ffmpeg is busy, and waits only when ffmpeg has fallen
// a whole queue behind. It touches no GL: a front end reads its frames back
// and hands them over (EncoderInput.h).
class VideoEncoder {
  public:
    struct Settings {
        std::string ffmpeg;
        std::string path;
        int width = 0;
        int height = 0;
        int fps = 0;
        // Bytes of a frame as write() takes it, and the conversion into the
        // planes ffmpeg takes, done on the encoder's thread; without one, a
        // frame is written as those planes.
        std::size_t inputBytes = 0;
        PlaneConverter convert;
    };

    // Starts ffmpeg; throws std::runtime_error when it cannot be started.
    explicit VideoEncoder(const Settings& settings);
    // Ends the video if finish() has not.
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Queues one frame filled by `fill`, which writes Settings::inputBytes:
    // the Y, Cb and Cr planes, top row first, unless the encoder converts
    // them. False once ffmpeg takes no more frames; the reason is on
    // standard error.
    bool write(const FrameFill& fill);

    // Ends the stream and waits for ffmpeg; true when it wrote the whole file.
    bool finish();

  private:
    void sendFrames();
    bool send(const std::vector<std::uint8_t>& frame);
    // Closes ffmpeg's input and waits for it; true when it succeeded.
    bool endFfmpeg();

    int socket_ = -1;
    pid_t pid_ = -1;
    bool finished_ = false;
    PlaneConverter convert_;
    std::vector<std::uint8_t> planes_; // the converted frame being sent

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::vector<std::uint8_t>> buffers_;
    std::deque<std::size_t> free_;   // buffers the frame loop may fill
    std::deque<std::size_t> queued_; // filled, in order, for the sender
    bool closing_ = false;           // no more frames will be queued
    bool failed_ = false;            // ffmpeg took no more frames
    std::thread sender_;
};
