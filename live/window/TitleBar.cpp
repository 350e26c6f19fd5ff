#include "TitleBar.h"

#include <algorithm>
#include <cstdio>
#include <limits>

void TitleBar::update(double now, double time, const std::string& beat,
                      const std::optional<PieceClock::Loop>& loop, bool paused, bool force) {
    const bool due = now - since_ >= period;
    if (!force && !due) {
        return;
    }
    if (due) {
        fps_ = frames_ / (now - since_);
        frames_ = 0;
        since_ = now;
    }
    char warnings[32] = "";
    if (warnings_ > 0) {
        std::snprintf(warnings, sizeof warnings, " - %d warning%s", warnings_,
                      warnings_ == 1 ? "" : "s");
    }
    char looping[64] = "";
    if (loop) {
        std::snprintf(looping, sizeof looping, " - looping %.2f-%.2f s", loop->from, loop->to);
    }
    // The middle dot, in UTF-8 as the title is.
    const std::string beatText = beat.empty() ? "" : " \xc2\xb7 " + beat;
    char text[512];
    std::snprintf(text, sizeof text, "vellomirke-live - %s - %5.2f s%s - %.0f fps%s%s%s",
                  folder_.c_str(), time, beatText.c_str(), fps_, looping, paused ? " - paused" : "",
                  warnings);
    if (text != shown_) {
        shown_ = text;
        glfwSetWindowTitle(window_, text);
    }
}

double TitleBar::untilChange(double now, bool paused) const {
    if (paused && fps_ == 0.0 && frames_ == 0) {
        return std::numeric_limits<double>::infinity();
    }
    return std::max(0.0, since_ + period - now);
}
