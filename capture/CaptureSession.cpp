#include "CaptureSession.h"

#include "DemoContract.h"

#include <GLFW/glfw3.h>

#include <cstdio>
#include <dlfcn.h>
#include <exception>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

template <typename Function> Function glfwFunction(const char* name) {
    auto function = reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
    if (function == nullptr) {
        throw std::runtime_error(std::string(name) + " is not in this process");
    }
    return function;
}

} // namespace

CaptureSession::CaptureSession(CaptureConfig config)
    : config_(std::move(config)), progress_(demo::lengthSeconds * config_.fps + 1) {}

void CaptureSession::swapBuffers(GLFWwindow* window, SwapFunction swap) {
    if (!failed_ && !finished_ && !capture(window)) {
        failed_ = true;
        if (setWindowShouldClose_ != nullptr) {
            setWindowShouldClose_(window, GLFW_TRUE);
        }
    }
    swap(window);
    ++framesSwapped_;
}

bool CaptureSession::capture(GLFWwindow* window) {
    try {
        if (getFramebufferSize_ == nullptr) {
            setWindowShouldClose_ = glfwFunction<CloseFlagFunction>("glfwSetWindowShouldClose");
            getFramebufferSize_ = glfwFunction<FramebufferSizeFunction>("glfwGetFramebufferSize");
        }
        int framebufferWidth = 0, framebufferHeight = 0;
        getFramebufferSize_(window, &framebufferWidth, &framebufferHeight);
        if (!encoder_) {
            // The first frame fixes the size of the video; the demo's window
            // is full screen and keeps its size.
            if (framebufferWidth <= 0 || framebufferHeight <= 0) {
                throw std::runtime_error("the window has no framebuffer to read");
            }
            width_ = framebufferWidth;
            height_ = framebufferHeight;
            grabber_ = std::make_unique<FrameGrabber>(width_, height_, config_.conversion);
            encoder_ = std::make_unique<VideoEncoder>(VideoEncoder::Settings{
                config_.ffmpeg, config_.videoPath, width_, height_, config_.fps,
                grabber_->inputBytes(), grabber_->planeConverter()});
        }
        if (!grabber_->grab(framebufferWidth, framebufferHeight, toEncoder())) {
            return false;
        }
        progress_.frameDone(static_cast<int>(framesSwapped_ + 1));
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "capture: %s\n", e.what());
        return false;
    }
}

FrameGrabber::Sink CaptureSession::toEncoder() {
    return [this](const FrameFill& fill) { return encoder_->write(fill); };
}

bool CaptureSession::finish() {
    if (finished_) {
        return !failed_;
    }
    finished_ = true;
    if (!encoder_) {
        // The demo stopped before its first frame and says why itself.
        return !failed_;
    }
    // The last frames are still in the GPU's hands; the context is current
    // until the windowing library is terminated, which waits for this.
    if (!failed_ && grabber_->framesInFlight()) {
        try {
            failed_ = !grabber_->drain(toEncoder());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "capture: %s\n", e.what());
            failed_ = true;
        }
    }
    if (!encoder_->finish()) {
        failed_ = true;
    }
    if (!failed_) {
        progress_.finished(static_cast<int>(framesSwapped_));
    }
    return !failed_;
}
