#include "FrameGrabber.h"

#include <algorithm>
#include <cstring>
#include <dlfcn.h>
#include <stdexcept>
#include <string>

namespace {

constexpr int bytesPerPixel = 3;

using ProcAddressLookup = void* (*)(const char*);

ProcAddressLookup glfwProcAddressLookup() {
    auto lookup = reinterpret_cast<ProcAddressLookup>(dlsym(RTLD_DEFAULT, "glfwGetProcAddress"));
    if (lookup == nullptr) {
        throw std::runtime_error("glfwGetProcAddress is not in this process");
    }
    return lookup;
}

template <typename Function> Function glFunction(ProcAddressLookup lookup, const char* name) {
    auto function = reinterpret_cast<Function>(lookup(name));
    if (function == nullptr) {
        throw std::runtime_error(std::string("the GL context offers no ") + name);
    }
    return function;
}

} // namespace

FrameGrabber::FrameGrabber() {
    ProcAddressLookup lookup = glfwProcAddressLookup();
    getIntegerv_ = glFunction<PFNGLGETINTEGERVPROC>(lookup, "glGetIntegerv");
    bindFramebuffer_ = glFunction<PFNGLBINDFRAMEBUFFERPROC>(lookup, "glBindFramebuffer");
    bindBuffer_ = glFunction<PFNGLBINDBUFFERPROC>(lookup, "glBindBuffer");
    readBuffer_ = glFunction<PFNGLREADBUFFERPROC>(lookup, "glReadBuffer");
    pixelStorei_ = glFunction<PFNGLPIXELSTOREIPROC>(lookup, "glPixelStorei");
    readPixels_ = glFunction<PFNGLREADPIXELSPROC>(lookup, "glReadPixels");
}

void FrameGrabber::grab(int framebufferWidth, int framebufferHeight, int width, int height,
                        std::vector<std::uint8_t>& picture) {
    const int readWidth = std::max(0, std::min(framebufferWidth, width));
    const int readHeight = std::max(0, std::min(framebufferHeight, height));
    const std::size_t rowBytes = static_cast<std::size_t>(width) * bytesPerPixel;
    const std::size_t readRowBytes = static_cast<std::size_t>(readWidth) * bytesPerPixel;
    picture.resize(rowBytes * height);
    if (readWidth < width || readHeight < height) {
        std::fill(picture.begin(), picture.end(), 0);
    }
    rows_.resize(readRowBytes * readHeight);
    if (rows_.empty()) {
        return;
    }

    // Read the window's own back buffer, tightly packed into client memory,
    // and put back whatever the demo had bound, although it binds none of it.
    GLint readFramebuffer = 0, readBuffer = 0, packBuffer = 0, packAlignment = 0;
    getIntegerv_(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    getIntegerv_(GL_READ_BUFFER, &readBuffer);
    getIntegerv_(GL_PIXEL_PACK_BUFFER_BINDING, &packBuffer);
    getIntegerv_(GL_PACK_ALIGNMENT, &packAlignment);
    bindFramebuffer_(GL_READ_FRAMEBUFFER, 0);
    readBuffer_(GL_BACK);
    bindBuffer_(GL_PIXEL_PACK_BUFFER, 0);
    pixelStorei_(GL_PACK_ALIGNMENT, 1);

    // The bottom-left corner of the framebuffer is the bottom-left corner of
    // the window, so the top of the picture is row framebufferHeight - 1.
    const int bottom = framebufferHeight - readHeight;
    readPixels_(0, bottom, readWidth, readHeight, GL_RGB, GL_UNSIGNED_BYTE, rows_.data());

    pixelStorei_(GL_PACK_ALIGNMENT, packAlignment);
    bindBuffer_(GL_PIXEL_PACK_BUFFER, static_cast<GLuint>(packBuffer));
    readBuffer_(static_cast<GLenum>(readBuffer));
    bindFramebuffer_(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer));

    for (int row = 0; row < readHeight; ++row) {
        const std::uint8_t* glRow = rows_.data() + readRowBytes * (readHeight - 1 - row);
        std::memcpy(picture.data() + rowBytes * row, glRow, readRowBytes);
    }
}
