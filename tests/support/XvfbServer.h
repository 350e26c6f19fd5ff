#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

// A private Xvfb on a display number that the server picks itself
// (-displayfd), stopped again when the value goes away.
class XvfbServer {
  public:
    explicit XvfbServer(const std::string& screen = "1920x1080x24",
                        const std::vector<std::string>& extraArgs = {});
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // ":N", ready for DISPLAY.
    const std::string& display() const { return display_; }

  private:
    pid_t pid_ = -1;
    std::string display_;
};

} // namespace testsupport
