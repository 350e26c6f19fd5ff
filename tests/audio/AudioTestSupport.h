#pragma once

#include "PulseServer.h"
#include "TempDir.h"

#include <chrono>
#include <functional>
#include <string>

namespace audiotest {

// The probe shader and its vertex stage as the demo's shader files.
void copyProbeShaders(const testsupport::TempDir& dir);

// Audio through SDL's disk driver into `capturePath`, written period by period
// at about the pace of playback (SDL sleeps a whole number of milliseconds
// per period, so it runs a few per cent fast).
Environment diskDriver(const std::string& capturePath);

// Polls `done` every 50 ms until it holds or `timeout` has passed; returns
// whether it held.
bool waitUntil(std::chrono::milliseconds timeout, const std::function<bool()>& done);

} // namespace audiotest
