#include "Progress.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string minutesAndSeconds(double seconds) {
    long whole = static_cast<long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

} // namespace

Progress::Progress(int totalFrames)
    : totalFrames_(totalFrames), terminal_(isatty(STDERR_FILENO) == 1), started_(Clock::now()),
      lastReport_(started_) {}

void Progress::frameDone(int framesDone) {
    auto now = Clock::now();
    auto interval = terminal_ ? std::chrono::milliseconds(250) : std::chrono::milliseconds(5000);
    if (framesDone > 1 && framesDone < totalFrames_ && now - lastReport_ < interval) {
        return;
    }
    lastReport_ = now;
    double elapsed = std::chrono::duration<double>(now - started_).count();
    int left = totalFrames_ > framesDone ? totalFrames_ - framesDone : 0;
    double secondsLeft = elapsed / framesDone * left;
    std::fprintf(stderr, "%scapture: frame %d of %d, about %s left%s", terminal_ ? "\r" : "",
                 framesDone, totalFrames_, minutesAndSeconds(secondsLeft).c_str(),
                 terminal_ ? "\033[K" : "\n");
}

void Progress::finished(int framesDone) {
    double elapsed = std::chrono::duration<double>(Clock::now() - started_).count();
    std::fprintf(stderr, "%scapture: %d frames in %s, %.1f frames per second%s\n",
                 terminal_ ? "\r" : "", framesDone, minutesAndSeconds(elapsed).c_str(),
                 elapsed > 0 ? framesDone / elapsed : 0.0, terminal_ ? "\033[K" : "");
}
