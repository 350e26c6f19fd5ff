#pragma once

// What the sound and sanitizer suites still take from here until they run the
// demo through DemoRun; the helpers that were here live in tests/support.
#include "DemoProcess.h"
#include "Messages.h"

#include <chrono>

namespace faults {
using namespace std::chrono_literals;
} // namespace faults
