#include "DemoProcess.h"

#include <stdexcept>
#include <thread>

namespace testsupport {

DemoProcess::DemoProcess(const std::string& display, const TempDir& dir,
                         std::map<std::string, std::optional<std::string>> environment,
                         std::vector<std::string> command)
    : stdoutPath_(dir.file(".demo-stdout")), stderrPath_(dir.file(".demo-stderr")) {
    environment.emplace("DISPLAY", display);
    environment.emplace("SDL_AUDIODRIVER", "dummy");
    ProcessOptions options;
    options.argv = command.empty() ? std::vector<std::string>{demoBinary()} : std::move(command);
    options.workingDirectory = dir.path();
    options.environment = environment;
    options.stdoutPath = stdoutPath_;
    options.stderrPath = stderrPath_;
    process_ = std::make_unique<ChildProcess>(options);
}

XWindow DemoProcess::waitForWindow(XClient& x, std::chrono::milliseconds timeout) {
    auto window = x.waitForWindow("Vellomirke2017Demo", timeout);
    if (!window) {
        throw std::runtime_error("the demo's window did not appear; stdout: " + output());
    }
    // The window is mapped before the shader is built; give the first frames
    // time to reach the screen.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    return *window;
}

} // namespace testsupport
