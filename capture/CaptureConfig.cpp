#include "CaptureConfig.h"

#include <cstdlib>
#include <stdexcept>

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Digits only, so that "30fps" or "1e2" are not taken for numbers.
int parseFps(const std::string& text) {
    bool digits = !text.empty() && text.size() <= 3 &&
                  text.find_first_not_of("0123456789") == std::string::npos;
    int fps = digits ? std::stoi(text) : 0;
    if (fps < 1 || fps > 240) {
        throw std::runtime_error(
            "VELLOMIRKE_CAPTURE_FPS must be a whole number from 1 to 240, not \"" + text + "\"");
    }
    return fps;
}

ConversionSite parseConversion(const std::string& text) {
    if (text.empty()) {
        return ConversionSite::automatic;
    }
    if (text == "gpu" || text == "cpu") {
        return text == "gpu" ? ConversionSite::gpu : ConversionSite::cpu;
    }
    throw std::runtime_error("VELLOMIRKE_CAPTURE_CONVERT must be \"gpu\" or \"cpu\", not \"" +
                             text + "\"");
}

} // namespace

CaptureConfig captureConfigFromEnvironment() {
    CaptureConfig config;
    config.fps = parseFps(variable("VELLOMIRKE_CAPTURE_FPS"));
    config.videoPath = variable("VELLOMIRKE_CAPTURE_VIDEO");
    if (config.videoPath.empty()) {
        throw std::runtime_error("VELLOMIRKE_CAPTURE_VIDEO must name the video file to write");
    }
    config.ffmpeg = variable("VELLOMIRKE_CAPTURE_FFMPEG");
    if (config.ffmpeg.empty()) {
        config.ffmpeg = "ffmpeg";
    }
    config.conversion = parseConversion(variable("VELLOMIRKE_CAPTURE_CONVERT"));
    return config;
}
