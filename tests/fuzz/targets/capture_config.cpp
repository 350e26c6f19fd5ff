// The capture's configuration on any environment: it either takes exactly
// what the variables say, or refuses with a std::runtime_error that names
// the variable at fault. Any other exception escapes and fails the run.
//
// Input: the values of VELLOMIRKE_CAPTURE_FPS, _VIDEO, _FFMPEG and _CONVERT,
// NUL-separated; a variable past the last value given is unset.
#include "CaptureConfig.h"
#include "Property.h"

#include <algorithm>
#include <stdexcept>

using namespace fuzzing;

namespace {

const char* const names[] = {"VELLOMIRKE_CAPTURE_FPS", "VELLOMIRKE_CAPTURE_VIDEO",
                             "VELLOMIRKE_CAPTURE_FFMPEG", "VELLOMIRKE_CAPTURE_CONVERT"};

// A plain frame rate as a person writes it: 1 to 240, no sign, no leading 0.
bool plainFps(const std::string& text) {
    if (text.empty() || text.size() > 3 || text[0] == '0' ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    return std::stoi(text) <= 240;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> values = fields(text(data, size));
    values.resize(std::min<std::size_t>(values.size(), 4));
    for (std::size_t i = 0; i < 4; ++i) {
        if (i < values.size()) {
            setenv(names[i], values[i].c_str(), 1);
        } else {
            unsetenv(names[i]);
        }
    }
    auto value = [&](std::size_t i) { return i < values.size() ? values[i] : std::string(); };

    const bool plain = plainFps(value(0)) && !value(1).empty() &&
                       (value(3).empty() || value(3) == "gpu" || value(3) == "cpu");
    try {
        const CaptureConfig config = captureConfigFromEnvironment();
        PROPERTY(config.fps >= 1 && config.fps <= 240);
        PROPERTY(value(0).find_first_not_of("0123456789") == std::string::npos);
        PROPERTY(config.fps == std::stoi(value(0)));
        PROPERTY(config.videoPath == value(1) && !config.videoPath.empty());
        PROPERTY(config.ffmpeg == (value(2).empty() ? "ffmpeg" : value(2)));
        PROPERTY(config.conversion == (value(3) == "gpu"   ? ConversionSite::gpu
                                       : value(3) == "cpu" ? ConversionSite::cpu
                                                           : ConversionSite::automatic));
    } catch (const std::runtime_error& refusal) {
        PROPERTY(!plain);
        const std::string message = refusal.what();
        bool named = false;
        for (const char* name : names) {
            named = named || startsWith(message, std::string(name) + " ");
        }
        PROPERTY(named);
    }
    return 0;
}
