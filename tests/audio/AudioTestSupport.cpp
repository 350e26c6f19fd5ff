#include "AudioTestSupport.h"

#include <thread>

namespace audiotest {

void copyProbeShaders(const testsupport::TempDir& dir) {
    dir.copyTestFile("vertex.glsl", "vertex.glsl");
    dir.copyTestFile("probe.frag", "fragment.glsl");
}

Environment diskDriver(const std::string& capturePath) {
    return {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", capturePath}};
}

bool waitUntil(std::chrono::milliseconds timeout, const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

} // namespace audiotest
