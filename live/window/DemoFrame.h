#pragma once

#include "DemoContract.h"
#include "DemoRectangle.h"

#include <glad/gl.h>

#include <cstdint>
#include <vector>

// The demo's picture: a 1920x1080 offscreen target into which the piece's
// fragment stage paints the demo's one full-screen rectangle, with the
// uniforms the demo gives it, whatever the window's size. Needs the context
// current for its whole life.
class DemoFrame {
  public:
    static constexpr int width = demo::width;
    static constexpr int height = demo::height;

    DemoFrame();
    ~DemoFrame();
    DemoFrame(const DemoFrame&) = delete;
    DemoFrame& operator=(const DemoFrame&) = delete;

    bool complete() const { return complete_; }
    GLuint framebuffer() const { return framebuffer_; }
    // The picture as a texture: bilinear, one level.
    GLuint texture() const { return colour_; }

    // Paints the picture of `time` seconds with `program`.
    void draw(GLuint program, float time);

    // The picture as 8-bit RGB rows, top row first.
    std::vector<std::uint8_t> readRgb() const;

  private:
    GLuint framebuffer_ = 0;
    GLuint colour_ = 0;
    bool complete_ = false;
    DemoRectangle rectangle_;
};
