#pragma once

#include "DemoRun.h"

#include <memory>
#include <string>

namespace windowstest {

// A fresh Wine prefix with a wineserver that stays up until the value goes
// away, so that the runs of one test binary pay Wine's start-up once. Its
// desktop process starts on `display`, where the programs of the prefix have
// to run. The server and every Windows process of the prefix end with it.
class WinePrefix {
  public:
    explicit WinePrefix(const std::string& display);
    ~WinePrefix();
    WinePrefix(const WinePrefix&) = delete;
    WinePrefix& operator=(const WinePrefix&) = delete;

    // What a wine command needs to run in this prefix, with Wine's own
    // messages off.
    const testsupport::Environment& environment() const { return inPrefix_.environment; }

    // Wine's major version: 8 on Debian 12, 10 on Debian 13.
    static int wineMajorVersion();

  private:
    testsupport::TempDir dir_;
    testsupport::ProcessOptions inPrefix_; // a command in this prefix
    std::unique_ptr<testsupport::ChildProcess> server_;
    // Kept until the prefix goes: ending it kills its process group, which
    // the prefix's programs still need (they exit with 1 without it).
    std::unique_ptr<testsupport::ChildProcess> boot_;
};

} // namespace windowstest
