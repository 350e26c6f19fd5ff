#include "TimedMonitor.h"

#include <pulse/simple.h>

#include <cstdlib>
#include <stdexcept>

namespace {

constexpr int rate = 48000;
constexpr int fragmentFrames = 96;
constexpr short audible = 655; // 0.02 of full scale

} // namespace

TimedMonitor::TimedMonitor() {
    pa_sample_spec format{PA_SAMPLE_S16LE, rate, 2};
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<uint32_t>(-1);
    attributes.fragsize = fragmentFrames * 4;
    int error = 0;
    stream_ = pa_simple_new(nullptr, "soundtrack-latency", PA_STREAM_RECORD, "nullsink.monitor",
                            "monitor", &format, nullptr, &attributes, &error);
    if (stream_ == nullptr) {
        throw std::runtime_error("cannot record the null sink's monitor");
    }
    fragments_.reserve(rate / fragmentFrames * 4);
    thread_ = std::thread([this] { record(); });
}

TimedMonitor::~TimedMonitor() {
    stop();
    pa_simple_free(stream_);
}

void TimedMonitor::record() {
    while (running_) {
        Fragment fragment;
        fragment.samples.resize(fragmentFrames * 2);
        int error = 0;
        if (pa_simple_read(stream_, fragment.samples.data(), fragment.samples.size() * 2, &error) <
            0) {
            return;
        }
        fragment.arrived = Clock::now();
        fragments_.push_back(std::move(fragment));
        started_ = true;
    }
}

void TimedMonitor::waitForData() {
    auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!started_) {
        if (Clock::now() > deadline) {
            throw std::runtime_error("the monitor delivers nothing");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void TimedMonitor::stop() {
    running_ = false;
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::optional<Clock::time_point> TimedMonitor::firstAudible(Clock::time_point since) const {
    const auto frameTime = std::chrono::nanoseconds(1000000000 / rate);
    for (const Fragment& fragment : fragments_) {
        if (fragment.arrived < since) {
            continue;
        }
        for (std::size_t i = 0; i < fragment.samples.size(); ++i) {
            if (std::abs(fragment.samples[i]) >= audible) {
                auto framesAfter = static_cast<long>(fragmentFrames - 1 - i / 2);
                return fragment.arrived - framesAfter * frameTime;
            }
        }
    }
    return std::nullopt;
}
