#pragma once

#include "ChildProcess.h"

#include <chrono>
#include <string>
#include <vector>

namespace testsupport {

// Runs a command-line tool (ffmpeg, apitrace, glretrace...) to its end and
// returns its standard output; throws with its standard error when it fails
// or still runs at the deadline.
std::string runTool(const std::vector<std::string>& argv,
                    std::chrono::seconds timeout = std::chrono::seconds(60),
                    const ProcessOptions& options = {});

} // namespace testsupport
