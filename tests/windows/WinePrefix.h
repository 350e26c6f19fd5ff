#pragma once

#include "ChildProcess.h"
#include "TempDir.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace windowstest {

using Environment = std::map<std::string, std::optional<std::string>>;

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
    const Environment& environment() const { return environment_; }

  private:
    testsupport::TempDir dir_;
    Environment environment_;
    std::unique_ptr<testsupport::ChildProcess> server_;
    std::unique_ptr<testsupport::ChildProcess> boot_;
};

// Runs `argv` in `environment` to its end and returns its exit status;
// throws if it is still running after `seconds`.
int runToEnd(const std::vector<std::string>& argv, const Environment& environment,
             const std::string& workingDirectory, int seconds);

} // namespace windowstest
