#pragma once

#include "CaptureConfig.h"
#include "CpuYuvConversion.h"
#include "EncoderInput.h"
#include "GlFunctions.h"
#include "PlaneLayout.h"
#include "YuvPass.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

// Reads finished frames back from the back buffer of the current OpenGL
// context without waiting for the GPU: each frame is read into one of a small
// ring of pixel-pack buffers and handed on only when the ring comes round to
// it again, by which time the GPU has long finished with it. The demo finds
// every piece of GL state as it left it.
//
// A GPU converts each frame to YUV 4:2:0 in a pass of its own before the
// read-back. A software renderer would do that pass on the CPU, slower than
// plain code does the same sums, so there the frame is read as it is and
// converted later, off the frame loop, by planeConverter().
class FrameGrabber {
  public:
    // Receives a frame as a FrameFill that writes it into a buffer of
    // inputBytes(); false when it could not be taken and capturing must stop.
    using Sink = std::function<bool(const FrameFill& fill)>;

    // Needs the demo's context to be current; throws std::runtime_error when
    // the context cannot do the work.
    FrameGrabber(int width, int height, ConversionSite where);

    // Starts reading the bottom-left framebufferWidth x framebufferHeight
    // pixels of the back buffer as the top-left of the picture; whatever the
    // framebuffer does not cover is black. Hands the oldest frame in flight
    // to `sink` once the ring is full. False when `sink` was.
    bool grab(int framebufferWidth, int framebufferHeight, const Sink& sink);

    // Hands every frame still in flight to `sink`, oldest first.
    bool drain(const Sink& sink);

    bool framesInFlight() const { return inFlight_ > 0; }
    bool convertsOnGpu() const { return pass_.has_value(); }
    std::size_t inputBytes() const;
    // Empty when the frames are converted on the GPU: a fill writes planes.
    PlaneConverter planeConverter() const;

  private:
    struct ReadSize {
        int width = 0;
        int height = 0;
    };

    bool deliverOldest(const Sink& sink);
    void copyPixels(const std::uint8_t* pixels, ReadSize size, std::uint8_t* input) const;

    GlFunctions gl_;
    PlaneLayout layout_;
    std::optional<YuvPass> pass_;
    PixelOrder order_ = PixelOrder::rgba;
    std::array<GLuint, 3> packBuffers_{};
    std::array<ReadSize, 3> readSizes_{};
    std::size_t next_ = 0;
    std::size_t inFlight_ = 0;
};
