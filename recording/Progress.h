#pragma once

#include <chrono>

// How far the capture has got, on standard error: frames done of the total
// and an estimate of the time left. A terminal gets one line rewritten in
// place a few times a second, a file or pipe a new line every few seconds.
class Progress {
  public:
    explicit Progress(int totalFrames);

    void frameDone(int framesDone);
    // The closing line, with the rate of the whole run in frames per second.
    void finished(int framesDone);

  private:
    using Clock = std::chrono::steady_clock;

    int totalFrames_;
    bool terminal_;
    Clock::time_point started_;
    Clock::time_point lastReport_;
};
