#pragma once

#include "ChildProcess.h"
#include "TempDir.h"
#include "XClient.h"

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// The demo binary under test.
std::string demoBinary();

// The demo running on `display` in `dir`, with its standard output in a file
// beside the assets. Audio goes to SDL's dummy driver unless the caller sets
// SDL_AUDIODRIVER itself. `command` starts another build of the demo (a
// packaged one, the Windows one through Wine) instead of the one under test.
class DemoProcess {
  public:
    DemoProcess(const std::string& display, const TempDir& dir,
                std::map<std::string, std::optional<std::string>> environment = {},
                std::vector<std::string> command = {});

    ChildProcess& process() { return *process_; }
    std::string output() const { return readFile(stdoutPath_); }
    std::string errors() const { return readFile(stderrPath_); }
    std::optional<int> waitForExit(std::chrono::milliseconds timeout) {
        return process_->waitForExit(timeout);
    }

    // The demo's window once it is on screen, with a first frame drawn.
    XWindow waitForWindow(XClient& x, std::chrono::milliseconds timeout = std::chrono::seconds(30));

  private:
    std::string stdoutPath_;
    std::string stderrPath_;
    std::unique_ptr<ChildProcess> process_;
};

} // namespace testsupport
