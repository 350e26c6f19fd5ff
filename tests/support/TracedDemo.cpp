#include "TracedDemo.h"

namespace conformance {

std::vector<std::string> tracedDemo(testsupport::DemoRun& run, const std::string& trace) {
    std::optional<std::string>& preload = run.environment()["LD_PRELOAD"];
    preload = std::string(GLFW_TAKES_LIBGL_SHIM) + (preload ? ":" + *preload : "");
    return {"apitrace", "trace", "--api", "gl", "-o", trace, testsupport::demoBinary()};
}

} // namespace conformance
