#pragma once

#include "GlFunctions.h"

#include <array>

// Everything of the GL context's state that the capture's own pass may
// change, taken when the guard is made and put back when it goes. The demo
// must find the context exactly as it left it, so each piece is restored
// even when the demo never set it. Capabilities that would alter the pass
// (scissor, blending and the like) are switched off for its duration.
class GlStateGuard {
  public:
    explicit GlStateGuard(const GlFunctions& gl);
    ~GlStateGuard();
    GlStateGuard(const GlStateGuard&) = delete;
    GlStateGuard& operator=(const GlStateGuard&) = delete;

  private:
    static constexpr std::array<GLenum, 12> capabilities{GL_BLEND,
                                                         GL_COLOR_LOGIC_OP,
                                                         GL_CULL_FACE,
                                                         GL_DEPTH_TEST,
                                                         GL_DITHER,
                                                         GL_FRAMEBUFFER_SRGB,
                                                         GL_POLYGON_OFFSET_FILL,
                                                         GL_RASTERIZER_DISCARD,
                                                         GL_SAMPLE_ALPHA_TO_COVERAGE,
                                                         GL_SAMPLE_MASK,
                                                         GL_SCISSOR_TEST,
                                                         GL_STENCIL_TEST};

    const GlFunctions& gl_;
    GLint program_ = 0;
    GLint vertexArray_ = 0;
    GLint readFramebuffer_ = 0;
    GLint drawFramebuffer_ = 0;
    GLint defaultReadBuffer_ = 0;
    GLint viewport_[4] = {};
    GLint activeTexture_ = 0;
    GLint texture0_ = 0;
    GLint sampler0_ = 0;
    GLint packBuffer_ = 0;
    GLint unpackBuffer_ = 0;
    GLint packAlignment_ = 0;
    GLint packRowLength_ = 0;
    GLint packSkipPixels_ = 0;
    GLint packSkipRows_ = 0;
    GLboolean colorMask_[4] = {};
    std::array<GLboolean, capabilities.size()> enabled_{};
};
