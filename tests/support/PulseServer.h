#pragma once

#include "DemoRun.h"

#include <csignal>
#include <memory>
#include <string>

namespace audiotest {

using testsupport::Environment;

// A private PulseAudio daemon whose only sink is a null sink, `nullsink`,
// running at the soundtrack's rate; its monitor source hears whatever is
// played to it. The daemon lives under `dir` (runtime directory, home, socket)
// and is killed with everything it started when the value goes away.
class PulseServer {
  public:
    explicit PulseServer(const testsupport::TempDir& dir);

    // What a client needs to find this server and no other.
    const Environment& clientEnvironment() const { return environment_; }
    // Stops the daemon as a hung server: its socket still takes connections
    // into the listen queue, and nobody ever answers them.
    void hang() { daemon_->kill(SIGSTOP); }

  private:
    Environment environment_;
    std::unique_ptr<testsupport::ChildProcess> daemon_;
};

// parec recording the null sink's monitor to `path` as raw S16LE stereo at
// the soundtrack's rate, stopped when the value goes away.
std::unique_ptr<testsupport::ChildProcess> recordMonitor(const PulseServer& server,
                                                         const std::string& path);

} // namespace audiotest
