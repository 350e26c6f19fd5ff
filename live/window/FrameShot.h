#pragma once

#include "DemoFrame.h"

#include <string>

// Saves the demo's picture as `dir`/shot-<time>.png, never over an earlier
// shot. Returns the file's path, or an empty string when it could not be
// written.
std::string saveFrameShot(const DemoFrame& frame, const std::string& dir, double time);
