#include "DemoRun.h"

#include <stdexcept>
#include <thread>

namespace testsupport {

std::string demoBinary() {
    return VELLOMIRKE_DEMO_BINARY;
}

DemoRun::DemoRun() : DemoRun(Screen{}) {}

DemoRun::DemoRun(Screen screen) {
    if (screen.none) {
        environment_["DISPLAY"] = std::nullopt;
    } else {
        server_ = std::make_unique<XvfbServer>(screen.geometry, screen.serverArgs);
        environment_["DISPLAY"] = server_->display();
    }
    environment_["SDL_AUDIODRIVER"] = "dummy";
}

DemoRun::DemoRun(const std::string& display) : display_(display) {
    environment_["DISPLAY"] = display_;
    environment_["SDL_AUDIODRIVER"] = "dummy";
}

void DemoRun::useShaders(const std::string& fragment, const std::string& vertex) {
    dir_.copyTestFile(vertex, "vertex.glsl");
    dir_.copyTestFile(fragment, "fragment.glsl");
}

void DemoRun::start(std::vector<std::string> command) {
    ProcessOptions options;
    options.argv = command.empty() ? std::vector<std::string>{demoBinary()} : std::move(command);
    options.workingDirectory = dir_.path();
    options.environment = environment_;
    options.stdoutPath = dir_.file(".demo-stdout");
    options.stderrPath = dir_.file(".demo-stderr");
    process_ = std::make_unique<ChildProcess>(options);
}

int DemoRun::visibleCursorAfterPointerMoves() {
    const auto [width, height] = x().windowSize(window_);
    x().movePointer(window_, width / 4, height / 4);
    x().movePointer(window_, width / 2 + 7, height / 2 + 5);
    waitForFrames(3);
    return x().visibleCursorPixels();
}

void DemoRun::startAndShow(std::vector<std::string> command) {
    start(std::move(command));
    waitForFirstFrame();
}

const std::string& DemoRun::display() const {
    if (!display_.empty()) {
        return display_;
    }
    if (!server_) {
        throw std::logic_error("this run has no X server");
    }
    return server_->display();
}

XClient& DemoRun::x() {
    if (!x_) {
        x_ = std::make_unique<XClient>(display());
    }
    return *x_;
}

XWindow DemoRun::waitForFirstFrame(std::chrono::milliseconds timeout, const std::string& title) {
    return firstFrame(title, false, timeout);
}

XWindow DemoRun::waitForFirstFrameOfPrefix(const std::string& titlePrefix,
                                           std::chrono::milliseconds timeout) {
    return firstFrame(titlePrefix, true, timeout);
}

XWindow DemoRun::firstFrame(const std::string& title, bool prefix,
                            std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    auto window = x().waitForWindow(title, timeout, prefix);
    if (!window) {
        throw std::runtime_error("the window did not appear; stdout: " + output());
    }
    window_ = *window;
    // The window is mapped before the shader is built; a frame counted from
    // here was drawn after the build.
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (!x().waitForFrames(window_, 1, std::max(left, std::chrono::milliseconds(1000)))) {
        throw std::runtime_error("the window showed no frame; stdout: " + output());
    }
    return window_;
}

XWindow DemoRun::waitForTitledWindow(const std::string& titlePrefix,
                                     std::chrono::milliseconds timeout) {
    auto window = x().waitForWindow(titlePrefix, timeout, true);
    if (!window) {
        throw std::runtime_error("no window was titled " + titlePrefix +
                                 "...; stdout: " + output());
    }
    window_ = *window;
    return window_;
}

void DemoRun::waitForFrames(int count, std::chrono::milliseconds timeout) {
    if (!x().waitForFrames(window_, count, timeout)) {
        throw std::runtime_error("the window stopped showing frames; stdout: " + output());
    }
}

void DemoRun::hold(const std::vector<std::string>& keys, int frames) {
    press(keys);
    waitForFrames(frames);
    release(keys);
}

Image DemoRun::waitForPicture(const std::function<bool(const Image&)>& accept,
                              std::chrono::milliseconds timeout) {
    Image last;
    waitUntil(
        [&] {
            last = picture();
            return last.width > 0 && accept(last);
        },
        timeout);
    return last;
}

std::string DemoRun::waitForOutput(const std::function<bool(const std::string&)>& done,
                                   std::chrono::milliseconds timeout) {
    std::string last;
    waitUntil(
        [&] {
            last = output();
            return done(last);
        },
        timeout);
    return last;
}

std::optional<int> DemoRun::waitForExit(std::chrono::milliseconds timeout) {
    return process_->waitForExit(timeout);
}

int DemoRun::close(std::chrono::milliseconds timeout) {
    x().sendCloseRequest(window_);
    return waitForExit(timeout).value_or(-1000);
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace testsupport
