#pragma once

#include "DemoRun.h"

#include <string>
#include <vector>

namespace conformance {

// The command that runs the demo of `run` under apitrace, its GL calls
// recorded to `trace`. Also preloads GlfwTakesLibGl.cpp before what `run`
// preloads already, so that GLFW 3.4's calls reach apitrace as 3.3's do.
std::vector<std::string> tracedDemo(testsupport::DemoRun& run, const std::string& trace);

} // namespace conformance
