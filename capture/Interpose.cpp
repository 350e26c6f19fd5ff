// The GLFW functions that this library replaces in the demo when it is
// preloaded. Each forwards to the real one, found further down the search
// order.
#include "CaptureConfig.h"
#include "CaptureSession.h"

#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <exception>
#include <optional>

#define CAPTURE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Exit statuses of a demo whose capture went wrong, distinct from the demo's
// own 0 and 255.
constexpr int badConfigurationStatus = 2;
constexpr int captureFailedStatus = 3;

template <typename Function> Function realFunction(const char* name) {
    auto function = reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
    if (function == nullptr) {
        std::fprintf(stderr, "capture: no %s to forward to\n", name);
        std::_Exit(badConfigurationStatus);
    }
    return function;
}

CaptureConfig configOrExit() {
    try {
        return captureConfigFromEnvironment();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "capture: %s\n", e.what());
        std::_Exit(badConfigurationStatus);
    }
}

// The process ends with a failure status when the video is incomplete, so
// that whoever started the capture does not take a broken file for a good one.
void finishOrExit(CaptureSession& session) {
    if (!session.finish()) {
        std::_Exit(captureFailedStatus);
    }
}

// The session, made on first use, once the demo is running. Going away at
// exit, it also ends the video of a demo that returns without terminating
// the windowing library.
class SessionHolder {
  public:
    ~SessionHolder() { finishIfStarted(); }

    void finishIfStarted() {
        if (session_) {
            finishOrExit(*session_);
        }
    }
    CaptureSession& get() {
        if (!session_) {
            session_.emplace(configOrExit());
        }
        return *session_;
    }

  private:
    std::optional<CaptureSession> session_;
};

SessionHolder holder;

} // namespace

CAPTURE_EXPORT double glfwGetTime() {
    return holder.get().now();
}

CAPTURE_EXPORT void glfwSwapBuffers(GLFWwindow* window) {
    static auto swap = realFunction<CaptureSession::SwapFunction>("glfwSwapBuffers");
    holder.get().swapBuffers(window, swap);
}

// The video is finished first: its last frames are read back from the
// context that terminating destroys.
CAPTURE_EXPORT void glfwTerminate() {
    static auto terminate = realFunction<void (*)()>("glfwTerminate");
    holder.finishIfStarted();
    terminate();
}
