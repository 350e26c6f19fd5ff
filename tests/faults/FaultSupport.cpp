#include "FaultSupport.h"

#include <cstdlib>
#include <sstream>
#include <thread>

namespace faults {

using namespace testsupport;

std::string solidShader(int red, int green, int blue) {
    std::ostringstream source;
    source << "#version 330 core\nout vec4 fragColor;\n\nvoid main() {\n"
           << "    fragColor = vec4(" << red << ".0 / 255.0, " << green << ".0 / 255.0, " << blue
           << ".0 / 255.0, 1.0);\n}\n";
    return source.str();
}

std::string waitForNewOutput(DemoProcess& demo, size_t known, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string output = demo.output();
    while (output.size() <= known && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
        output = demo.output();
    }
    // Held keys rebuild on every frame; wait for the last rebuild's messages.
    for (;;) {
        std::this_thread::sleep_for(500ms);
        std::string later = demo.output();
        if (later == output || std::chrono::steady_clock::now() >= deadline) {
            output = later;
            break;
        }
        output = later;
    }
    return output.size() > known ? output.substr(known) : "";
}

Rgb centre(XClient& x, XWindow window) {
    Image image = x.capture(window);
    if (image.width == 0) {
        return {-1, -1, -1};
    }
    return image.at(image.width / 2, image.height / 2);
}

bool near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

Rgb waitForCentre(XClient& x, XWindow window, const std::function<bool(Rgb)>& wanted,
                  std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    Rgb seen = centre(x, window);
    while (!wanted(seen) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(100ms);
        seen = centre(x, window);
    }
    return seen;
}

std::string describe(Rgb colour) {
    std::ostringstream text;
    text << "(" << colour.r << ", " << colour.g << ", " << colour.b << ")";
    return text.str();
}

} // namespace faults
