#pragma once

#include "GlFunctions.h"
#include "PlaneLayout.h"
#include "YuvPass.h"

#include <array>
#include <cstdint>
#include <functional>

// Reads finished frames back from the back buffer of the current OpenGL
// context, converted to YUV 4:2:0 on the GPU, without waiting for the GPU:
// each frame is read into one of a small ring of pixel-pack buffers and
// handed on only when the ring comes round to it again, by which time the
// GPU has long finished with it. The demo finds every piece of GL state as it
// left it.
class FrameGrabber {
  public:
    // Receives a read-back target (PlaneLayout's GPU form); false when the
    // frame could not be taken and capturing must stop.
    using Sink = std::function<bool(const std::uint8_t* target)>;

    // Needs the demo's context to be current; throws std::runtime_error when
    // the context cannot do the work.
    FrameGrabber(int width, int height);

    // Starts reading the bottom-left framebufferWidth x framebufferHeight
    // pixels of the back buffer as the top-left of the picture; whatever the
    // framebuffer does not cover is black. Hands the oldest frame in flight
    // to `sink` once the ring is full. False when `sink` was.
    bool grab(int framebufferWidth, int framebufferHeight, const Sink& sink);

    // Hands every frame still in flight to `sink`, oldest first.
    bool drain(const Sink& sink);

    bool framesInFlight() const { return inFlight_ > 0; }
    const PlaneLayout& layout() const { return layout_; }

  private:
    bool deliverOldest(const Sink& sink);

    GlFunctions gl_;
    PlaneLayout layout_;
    YuvPass pass_;
    std::array<GLuint, 3> packBuffers_{};
    std::size_t next_ = 0;
    std::size_t inFlight_ = 0;
};
