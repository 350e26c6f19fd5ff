#include "FrameShot.h"

#include "PngFile.h"

#include <cstdio>
#include <filesystem>

FrameShot saveFrameShot(const DemoFrame& frame, const std::string& dir, double time) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%05.2f", time);
    std::string path = dir + "/shot-" + stamp + ".png";
    // Paused, two shots of the same time may show different builds.
    std::error_code error;
    for (int n = 2; std::filesystem::exists(path, error); ++n) {
        path = dir + "/shot-" + stamp + "-" + std::to_string(n) + ".png";
    }
    if (!writeRgbPng(path, DemoFrame::width, DemoFrame::height, frame.readRgb())) {
        return {path, lastWriteFailure()};
    }
    return {path, std::nullopt};
}
