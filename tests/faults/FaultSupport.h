#pragma once

#include "DemoProcess.h"
#include "Messages.h"
#include "XClient.h"

#include <chrono>
#include <functional>
#include <string>

namespace faults {

using namespace std::chrono_literals;

using testsupport::compileFailed; // followed by the stage's kind
using testsupport::linkFailed;
using testsupport::readFailed;

// A fragment shader that paints the whole window in one colour (0-255).
std::string solidShader(int red, int green, int blue);

// Waits until the demo's standard output has grown beyond `known` characters
// and then stayed the same for half a second; returns what was added.
std::string waitForNewOutput(testsupport::DemoProcess& demo, size_t known,
                             std::chrono::milliseconds timeout = 20s);

// The colour at the centre of the window.
testsupport::Rgb centre(testsupport::XClient& x, testsupport::XWindow window);

bool near(testsupport::Rgb a, testsupport::Rgb b, int tolerance = 3);

// Polls the window's centre until `wanted` holds; returns the last colour seen.
testsupport::Rgb waitForCentre(testsupport::XClient& x, testsupport::XWindow window,
                               const std::function<bool(testsupport::Rgb)>& wanted,
                               std::chrono::milliseconds timeout = 10s);

std::string describe(testsupport::Rgb colour);

} // namespace faults
