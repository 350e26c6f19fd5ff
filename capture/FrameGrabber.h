#pragma once

#include <GL/glcorearb.h>

#include <cstdint>
#include <vector>

// Reads finished frames back from the back buffer of the current OpenGL
// context. GL entry points come from the windowing library's lookup, since
// the demo's own loader keeps its pointers to itself.
class FrameGrabber {
  public:
    // Needs the demo's context to be current; throws std::runtime_error when
    // an entry point is missing.
    FrameGrabber();

    // The bottom-left framebufferWidth x framebufferHeight pixels of the back
    // buffer, as RGB rows of a width x height picture, top row first (GL counts
    // rows from the bottom). Whatever the framebuffer does not cover is black.
    void grab(int framebufferWidth, int framebufferHeight, int width, int height,
              std::vector<std::uint8_t>& picture);

  private:
    PFNGLGETINTEGERVPROC getIntegerv_;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer_;
    PFNGLBINDBUFFERPROC bindBuffer_;
    PFNGLREADBUFFERPROC readBuffer_;
    PFNGLPIXELSTOREIPROC pixelStorei_;
    PFNGLREADPIXELSPROC readPixels_;
    std::vector<std::uint8_t> rows_;
};
