#pragma once

#include "DemoFrame.h"
#include "Program.h"

#include <glad/gl.h>

// Shows the demo's picture in the window: scaled, letterboxed to 16:9, and,
// while the latest build is failing, inside a thin red frame. Needs the
// context current for its whole life.
class Presenter {
  public:
    Presenter();
    ~Presenter();
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;

    // Draws `frame` into the window's back buffer; the swap is the caller's.
    void present(const DemoFrame& frame, int windowWidth, int windowHeight, bool buildFailing);

  private:
    Program program_; // empty where it did not build: the picture is blitted
    GLuint vertexArray_ = 0;
};
