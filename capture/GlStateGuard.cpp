#include "GlStateGuard.h"

GlStateGuard::GlStateGuard(const GlFunctions& gl) : gl_(gl) {
    gl_.getIntegerv(GL_CURRENT_PROGRAM, &program_);
    gl_.getIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray_);
    gl_.getIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer_);
    gl_.getIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer_);
    // The read buffer belongs to each framebuffer; the pass sets the window's
    // (and its own framebuffer's, which nobody else uses).
    if (readFramebuffer_ != 0) {
        gl_.bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    }
    gl_.getIntegerv(GL_READ_BUFFER, &defaultReadBuffer_);
    gl_.getIntegerv(GL_VIEWPORT, viewport_);
    // Texture and sampler bindings are per unit; the pass works on unit 0.
    gl_.getIntegerv(GL_ACTIVE_TEXTURE, &activeTexture_);
    if (activeTexture_ != GL_TEXTURE0) {
        gl_.activeTexture(GL_TEXTURE0);
    }
    gl_.getIntegerv(GL_TEXTURE_BINDING_2D, &texture0_);
    gl_.getIntegerv(GL_SAMPLER_BINDING, &sampler0_);
    gl_.getIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &packBuffer_);
    gl_.getIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &unpackBuffer_);
    gl_.getIntegerv(GL_PACK_ALIGNMENT, &packAlignment_);
    gl_.getIntegerv(GL_PACK_ROW_LENGTH, &packRowLength_);
    gl_.getIntegerv(GL_PACK_SKIP_PIXELS, &packSkipPixels_);
    gl_.getIntegerv(GL_PACK_SKIP_ROWS, &packSkipRows_);
    gl_.getBooleanv(GL_COLOR_WRITEMASK, colorMask_);
    for (std::size_t i = 0; i < capabilities.size(); ++i) {
        enabled_[i] = gl_.isEnabled(capabilities[i]);
        if (enabled_[i]) {
            gl_.disable(capabilities[i]);
        }
    }
    if (!(colorMask_[0] && colorMask_[1] && colorMask_[2] && colorMask_[3])) {
        gl_.colorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    }
    // Pixels are read tightly packed.
    gl_.pixelStorei(GL_PACK_ALIGNMENT, 1);
    gl_.pixelStorei(GL_PACK_ROW_LENGTH, 0);
    gl_.pixelStorei(GL_PACK_SKIP_PIXELS, 0);
    gl_.pixelStorei(GL_PACK_SKIP_ROWS, 0);
    // A texture is set up with no pixels of the caller's: no unpack buffer.
    if (unpackBuffer_ != 0) {
        gl_.bindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    }
}

GlStateGuard::~GlStateGuard() {
    for (std::size_t i = 0; i < capabilities.size(); ++i) {
        if (enabled_[i]) {
            gl_.enable(capabilities[i]);
        }
    }
    gl_.colorMask(colorMask_[0], colorMask_[1], colorMask_[2], colorMask_[3]);
    gl_.pixelStorei(GL_PACK_SKIP_ROWS, packSkipRows_);
    gl_.pixelStorei(GL_PACK_SKIP_PIXELS, packSkipPixels_);
    gl_.pixelStorei(GL_PACK_ROW_LENGTH, packRowLength_);
    gl_.pixelStorei(GL_PACK_ALIGNMENT, packAlignment_);
    gl_.bindBuffer(GL_PIXEL_UNPACK_BUFFER, static_cast<GLuint>(unpackBuffer_));
    gl_.bindBuffer(GL_PIXEL_PACK_BUFFER, static_cast<GLuint>(packBuffer_));
    gl_.activeTexture(GL_TEXTURE0);
    gl_.bindSampler(0, static_cast<GLuint>(sampler0_));
    gl_.bindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture0_));
    gl_.activeTexture(static_cast<GLenum>(activeTexture_));
    gl_.viewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
    gl_.bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    gl_.readBuffer(static_cast<GLenum>(defaultReadBuffer_));
    gl_.bindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer_));
    gl_.bindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFramebuffer_));
    gl_.bindVertexArray(static_cast<GLuint>(vertexArray_));
    gl_.useProgram(static_cast<GLuint>(program_));
}
