#include "FrameGrabber.h"

#include "GlStateGuard.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Made with the context's state saved, before the pass sets itself up in it.
YuvPass setUpPass(const GlFunctions& gl, const PlaneLayout& layout) {
    GlStateGuard saved(gl);
    return YuvPass(gl, layout);
}

} // namespace

FrameGrabber::FrameGrabber(int width, int height)
    : gl_(loadGlFunctions()), layout_(width, height), pass_(setUpPass(gl_, layout_)) {
    GlStateGuard saved(gl_);
    gl_.genBuffers(static_cast<GLsizei>(packBuffers_.size()), packBuffers_.data());
    for (GLuint buffer : packBuffers_) {
        gl_.bindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        gl_.bufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(layout_.targetBytes()),
                       nullptr, GL_STREAM_READ);
    }
}

bool FrameGrabber::grab(int framebufferWidth, int framebufferHeight, const Sink& sink) {
    GlStateGuard saved(gl_);
    pass_.run(std::clamp(framebufferWidth, 0, layout_.width),
              std::clamp(framebufferHeight, 0, layout_.height), framebufferHeight);
    // Into a pack buffer: the call returns at once, and the copy is done
    // whenever the GPU gets to it.
    gl_.bindBuffer(GL_PIXEL_PACK_BUFFER, packBuffers_[next_]);
    gl_.readPixels(0, 0, layout_.rowTexels, layout_.targetHeight, pass_.readFormat(),
                   GL_UNSIGNED_BYTE, nullptr);
    next_ = (next_ + 1) % packBuffers_.size();
    ++inFlight_;
    return inFlight_ < packBuffers_.size() || deliverOldest(sink);
}

bool FrameGrabber::drain(const Sink& sink) {
    GlStateGuard saved(gl_);
    while (inFlight_ > 0) {
        if (!deliverOldest(sink)) {
            return false;
        }
    }
    return true;
}

bool FrameGrabber::deliverOldest(const Sink& sink) {
    const std::size_t oldest = (next_ + packBuffers_.size() - inFlight_) % packBuffers_.size();
    --inFlight_;
    gl_.bindBuffer(GL_PIXEL_PACK_BUFFER, packBuffers_[oldest]);
    const auto* target = static_cast<const std::uint8_t*>(gl_.mapBufferRange(
        GL_PIXEL_PACK_BUFFER, 0, static_cast<GLsizeiptr>(layout_.targetBytes()), GL_MAP_READ_BIT));
    if (target == nullptr) {
        throw std::runtime_error("the GL cannot map a frame that it read back");
    }
    const bool taken = sink(target);
    if (gl_.unmapBuffer(GL_PIXEL_PACK_BUFFER) != GL_TRUE) {
        throw std::runtime_error("the GL lost a frame while it was read");
    }
    return taken;
}
