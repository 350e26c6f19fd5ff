#pragma once

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

struct pa_simple;

using Clock = std::chrono::steady_clock;

// Records the null sink's monitor in 2 ms fragments and notes when each
// fragment arrived, which dates every recorded sample to within a fragment:
// a sample is taken to have reached the sink when its fragment arrived, less
// the time of the samples that follow it in the fragment.
class TimedMonitor {
  public:
    TimedMonitor();
    ~TimedMonitor();
    TimedMonitor(const TimedMonitor&) = delete;
    TimedMonitor& operator=(const TimedMonitor&) = delete;

    // Waits until the first fragment has come in.
    void waitForData();
    // Stops recording; nothing is added afterwards.
    void stop();
    // When the first sample louder than about -34 dBFS reached the sink,
    // counting only what arrived after `since`.
    std::optional<Clock::time_point> firstAudible(Clock::time_point since) const;

  private:
    struct Fragment {
        Clock::time_point arrived;
        std::vector<short> samples; // interleaved stereo
    };
    void record();

    pa_simple* stream_ = nullptr;
    std::vector<Fragment> fragments_;
    std::atomic<bool> running_{true};
    std::atomic<bool> started_{false};
    std::thread thread_;
};
