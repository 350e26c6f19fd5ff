#pragma once

#include <glad/gl.h>

// The demo's one rectangle, as the tools and benchmarks draw it: the corners
// and indices of DemoContract.h in buffers, attribute 0 fed from them, all
// held by one vertex array. The demo uploads its own, as its start-up steps
// are written. Needs the context current for its whole life.
class DemoRectangle {
  public:
    DemoRectangle();
    ~DemoRectangle();
    DemoRectangle(const DemoRectangle&) = delete;
    DemoRectangle& operator=(const DemoRectangle&) = delete;

    // Draws its two triangles with the current program.
    void draw() const;

  private:
    GLuint vertexArray_ = 0;
    GLuint vertices_ = 0;
    GLuint indices_ = 0;
};
