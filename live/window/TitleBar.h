#pragma once

#include "PieceClock.h"

#include <GLFW/glfw3.h>

#include <optional>
#include <string>

// Shows the piece, the time with its bar and beat, the frame rate (frames
// shown in the window per second), the loop, and how many warnings the
// strict check gave the latest build,
// a few times a second and at once after a key changed the time. The title
// is first set after the first frame has been shown.
class TitleBar {
  public:
    static constexpr double period = 0.25; // seconds between updates

    TitleBar(GLFWwindow* window, std::string folder, double now)
        : window_(window), folder_(std::move(folder)), since_(now) {}

    void frameShown() { ++frames_; }

    // The strict check's warnings of the latest build; shown from the next update.
    void setWarnings(int count) { warnings_ = count; }

    // At once when `force`, otherwise once a period. `beat` follows the time
    // ("bar 7.3 . 128 BPM", or nothing); `loop` is the loop, if any.
    void update(double now, double time, const std::string& beat,
                const std::optional<PieceClock::Loop>& loop, bool paused, bool force);

    // While no frames are drawn: seconds until the title next changes. A
    // running time changes it every period; a paused one only until the
    // frame rate has come down to 0.
    double untilChange(double now, bool paused) const;

  private:
    GLFWwindow* window_;
    std::string folder_;
    double since_;
    int frames_ = 0;
    double fps_ = 0.0;
    int warnings_ = 0;
    std::string shown_;
};
