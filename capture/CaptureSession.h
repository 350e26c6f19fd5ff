#pragma once

#include "CaptureConfig.h"
#include "FrameGrabber.h"
#include "Progress.h"
#include "VideoEncoder.h"

#include <cstdint>
#include <memory>

struct GLFWwindow;

// One capture run inside the demo. The demo's clock stands still between
// buffer swaps and moves on by exactly one frame at each swap, so frame n
// (counting from 0) sees n / fps seconds however long it takes to draw.
class CaptureSession {
  public:
    using SwapFunction = void (*)(GLFWwindow*);

    explicit CaptureSession(CaptureConfig config);

    // The time the demo's clock shows now, in seconds.
    double now() const { return static_cast<double>(framesSwapped_) / config_.fps; }

    // Sends the frame in the back buffer to the video, then swaps. If the
    // video cannot take it, asks the window to close so that the demo ends
    // instead of drawing frames that go nowhere.
    void swapBuffers(GLFWwindow* window, SwapFunction swap);

    // Ends the video; true when every frame drawn is in the file. Later calls
    // give the same answer. The first needs the demo's context still current.
    bool finish();

  private:
    using FramebufferSizeFunction = void (*)(GLFWwindow*, int*, int*);
    using CloseFlagFunction = void (*)(GLFWwindow*, int);

    bool capture(GLFWwindow* window);
    FrameGrabber::Sink toEncoder();

    CaptureConfig config_;
    long framesSwapped_ = 0;
    Progress progress_;
    // GLFW functions that the library calls itself, found at the first frame.
    FramebufferSizeFunction getFramebufferSize_ = nullptr;
    CloseFlagFunction setWindowShouldClose_ = nullptr;
    std::unique_ptr<FrameGrabber> grabber_;
    std::unique_ptr<VideoEncoder> encoder_;
    int width_ = 0;
    int height_ = 0;
    bool failed_ = false;
    bool finished_ = false;
};
