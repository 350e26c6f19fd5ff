#pragma once

#include "DemoFrame.h"
#include "WriteFailure.h"

#include <optional>
#include <string>

// A shot's file, and why it could not be written where it failed.
struct FrameShot {
    std::string path;
    std::optional<WriteFailure> failure;
};

// Saves the demo's picture as `dir`/shot-<time>.png, never over an earlier
// shot. A shot that failed left no file.
FrameShot saveFrameShot(const DemoFrame& frame, const std::string& dir, double time);
