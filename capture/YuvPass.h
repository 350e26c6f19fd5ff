#pragma once

#include "GlFunctions.h"
#include "PlaneLayout.h"

#include <vector>

// The capture's own render pass: takes the picture in the window's back
// buffer and writes it as BT.709 limited-range YUV 4:2:0 samples, laid out
// as PlaneLayout describes, into a framebuffer of its own, ready to be read
// back in the driver's native 4-byte layout.
//
// Its GL objects are never deleted: they live as long as the demo's context,
// which lasts until the windowing library is terminated at the end of the run.
class YuvPass {
  public:
    // Sets the pass up in the current context for pictures of `layout`'s
    // size; throws std::runtime_error when the context cannot run it. The
    // caller saves and restores the GL state around this and run().
    YuvPass(const GlFunctions& gl, const PlaneLayout& layout);

    // Converts the bottom-left readWidth x readHeight pixels of the back
    // buffer of a framebufferHeight-high window into the top-left of the
    // picture; the rest of the picture is black. Leaves the pass's
    // framebuffer bound for reading.
    void run(int readWidth, int readHeight, int framebufferHeight);

    // The format in which reading the pass's framebuffer costs no
    // conversion, GL_RGBA or GL_BGRA (with GL_UNSIGNED_BYTE); the pass
    // writes its samples in the matching order.
    GLenum readFormat() const { return readFormat_; }

  private:
    enum class Plane { luma, cb, cr };
    void drawPlane(Plane plane);

    const GlFunctions& gl_;
    PlaneLayout layout_;
    GLenum readFormat_ = GL_RGBA;
    GLuint program_ = 0;
    GLuint vertexArray_ = 0;
    GLuint pictureTexture_ = 0;     // the picture, top row first
    GLuint pictureFramebuffer_ = 0; // draws into pictureTexture_
    GLuint framebuffer_ = 0;        // the pass's target
    std::vector<GLint> planeUniforms_;
    int readWidth_ = -1;
    int readHeight_ = -1;
};
