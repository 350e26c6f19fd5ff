#include "FrameGrabber.h"

#include "GlStateGuard.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

// Mesa's renderers that run on the CPU, by the names in GL_RENDERER.
bool isSoftwareRenderer(const GlFunctions& gl) {
    const auto* name = reinterpret_cast<const char*>(gl.getString(GL_RENDERER));
    std::string renderer = name != nullptr ? name : "";
    std::transform(renderer.begin(), renderer.end(), renderer.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* software : {"llvmpipe", "softpipe", "software rasterizer", "swrast"}) {
        if (renderer.find(software) != std::string::npos) {
            return true;
        }
    }
    return false;
}

bool convertOnGpu(const GlFunctions& gl, ConversionSite where) {
    return where == ConversionSite::automatic ? !isSoftwareRenderer(gl)
                                              : where == ConversionSite::gpu;
}

// Made with the context's state saved, before the pass sets itself up in it.
std::optional<YuvPass> setUpPass(const GlFunctions& gl, const PlaneLayout& layout,
                                 ConversionSite where) {
    GlStateGuard saved(gl);
    if (!convertOnGpu(gl, where)) {
        return std::nullopt;
    }
    return YuvPass(gl, layout);
}

// The window's own 4-byte order, in which reading its pixels costs no
// conversion. The guard has the window's framebuffer bound for reading.
PixelOrder windowPixelOrder(const GlFunctions& gl) {
    GlStateGuard saved(gl);
    GLint format = 0, type = 0;
    gl.getIntegerv(GL_IMPLEMENTATION_COLOR_READ_FORMAT, &format);
    gl.getIntegerv(GL_IMPLEMENTATION_COLOR_READ_TYPE, &type);
    return format == GL_BGRA && type == GL_UNSIGNED_BYTE ? PixelOrder::bgra : PixelOrder::rgba;
}

} // namespace

FrameGrabber::FrameGrabber(int width, int height, ConversionSite where)
    : gl_(loadGlFunctions()), layout_(width, height), pass_(setUpPass(gl_, layout_, where)) {
    if (!pass_) {
        order_ = windowPixelOrder(gl_);
    }
    GlStateGuard saved(gl_);
    const std::size_t bufferBytes = pass_ ? layout_.targetBytes() : inputBytes();
    gl_.genBuffers(static_cast<GLsizei>(packBuffers_.size()), packBuffers_.data());
    for (GLuint buffer : packBuffers_) {
        gl_.bindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        gl_.bufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(bufferBytes), nullptr,
                       GL_STREAM_READ);
    }
}

std::size_t FrameGrabber::inputBytes() const {
    return pass_ ? layout_.planeBytes()
                 : static_cast<std::size_t>(layout_.width) * layout_.height * 4;
}

PlaneConverter FrameGrabber::planeConverter() const {
    if (pass_) {
        return {};
    }
    return [layout = layout_, order = order_](const std::uint8_t* input, std::uint8_t* planes) {
        convertToYuv420(input, order, layout, planes);
    };
}

bool FrameGrabber::grab(int framebufferWidth, int framebufferHeight, const Sink& sink) {
    GlStateGuard saved(gl_);
    const ReadSize size{std::clamp(framebufferWidth, 0, layout_.width),
                        std::clamp(framebufferHeight, 0, layout_.height)};
    gl_.bindBuffer(GL_PIXEL_PACK_BUFFER, packBuffers_[next_]);
    // Into a pack buffer: the call returns at once, and the copy is done
    // whenever the GPU gets to it.
    if (pass_) {
        pass_->run(size.width, size.height, framebufferHeight);
        gl_.readPixels(0, 0, layout_.rowTexels, layout_.targetHeight, pass_->readFormat(),
                       GL_UNSIGNED_BYTE, nullptr);
    } else if (size.width > 0 && size.height > 0) {
        // The guard has the window's framebuffer bound for reading.
        gl_.readBuffer(GL_BACK);
        gl_.readPixels(0, framebufferHeight - size.height, size.width, size.height,
                       order_ == PixelOrder::bgra ? GL_BGRA : GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    }
    readSizes_[next_] = size;
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
    const ReadSize size = readSizes_[oldest];
    gl_.bindBuffer(GL_PIXEL_PACK_BUFFER, packBuffers_[oldest]);
    const std::size_t bytes = pass_ ? layout_.targetBytes() : inputBytes();
    const auto* data = static_cast<const std::uint8_t*>(gl_.mapBufferRange(
        GL_PIXEL_PACK_BUFFER, 0, static_cast<GLsizeiptr>(bytes), GL_MAP_READ_BIT));
    if (data == nullptr) {
        throw std::runtime_error("the GL cannot map a frame that it read back");
    }
    const bool taken = sink([this, data, size](std::uint8_t* input) {
        if (pass_) {
            layout_.unpack(data, input);
        } else {
            copyPixels(data, size, input);
        }
    });
    if (gl_.unmapBuffer(GL_PIXEL_PACK_BUFFER) != GL_TRUE) {
        throw std::runtime_error("the GL lost a frame while it was read");
    }
    return taken;
}

// The read pixels, bottom row first, as the bottom rows of a whole picture
// whose top row is the window's top row; black around them.
void FrameGrabber::copyPixels(const std::uint8_t* pixels, ReadSize size,
                              std::uint8_t* input) const {
    const std::size_t pictureRow = static_cast<std::size_t>(layout_.width) * 4;
    if (size.width == layout_.width && size.height == layout_.height) {
        std::memcpy(input, pixels, pictureRow * layout_.height);
        return;
    }
    std::memset(input, 0, pictureRow * layout_.height);
    const std::size_t readRow = static_cast<std::size_t>(size.width) * 4;
    std::uint8_t* first = input + pictureRow * (layout_.height - size.height);
    for (int row = 0; row < size.height; ++row) {
        std::memcpy(first + pictureRow * row, pixels + readRow * row, readRow);
    }
}
