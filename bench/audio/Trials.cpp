#include "Trials.h"

#include "Soundtrack.h"
#include "TimedMonitor.h"

#include <SDL_mixer.h>
#include <pulse/simple.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr int rate = 48000;
constexpr int periodFrames = 512;
constexpr short audible = 655; // 0.02 of full scale, as the monitor counts it
constexpr double pi = 3.14159265358979323846;

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// What the mixer hands to SDL, period by period, seen through its post-mix
// hook on SDL's audio thread.
struct MixedPeriod {
    Clock::time_point mixed;
    long firstFrame;
    int firstAudible; // frame within the period, or -1
};
std::vector<MixedPeriod> mixedPeriods;
long mixedFrames = 0;

void notePeriod(void*, Uint8* stream, int length) {
    const auto* samples = reinterpret_cast<const Sint16*>(stream);
    int frames = length / 4;
    int firstAudible = -1;
    for (int i = 0; i < frames * 2 && firstAudible < 0; ++i) {
        if (std::abs(samples[i]) >= audible) {
            firstAudible = i / 2;
        }
    }
    if (mixedPeriods.size() < mixedPeriods.capacity()) {
        mixedPeriods.push_back({Clock::now(), mixedFrames, firstAudible});
    }
    mixedFrames += frames;
}

} // namespace

TrialResult soundtrackTrial() {
    TimedMonitor monitor;
    monitor.waitForData();
    Soundtrack::open();
    auto deadline = Clock::now() + 5s;
    while (Mix_QuerySpec(nullptr, nullptr, nullptr) == 0) {
        if (Clock::now() > deadline) {
            throw std::runtime_error("the soundtrack did not open its device");
        }
        std::this_thread::sleep_for(1ms);
    }
    // Let the file load and the stream settle into its steady state.
    std::this_thread::sleep_for(300ms);
    mixedPeriods.reserve(200);
    Mix_SetPostMix(notePeriod, nullptr);
    std::this_thread::sleep_for(100ms);

    auto called = Clock::now();
    Soundtrack::playLooping();
    auto returned = Clock::now();
    std::this_thread::sleep_for(600ms);
    monitor.stop();
    // Taking the hook away waits for the audio thread, so the periods noted
    // are complete from here on.
    Mix_SetPostMix(nullptr, nullptr);

    TrialResult result;
    // Periods mixed wholly before playLooping() returned cannot hold music;
    // the first one after it starts with the track's first frame.
    const MixedPeriod* first = nullptr;
    for (const MixedPeriod& period : mixedPeriods) {
        if (first == nullptr && period.mixed > returned) {
            first = &period;
        }
        if (first != nullptr && period.firstAudible >= 0) {
            long leadInFrames = period.firstFrame + period.firstAudible - first->firstFrame;
            result.leadIn = 1000.0 * static_cast<double>(leadInFrames) / rate;
            result.mixed = millisecondsBetween(called, first->mixed);
            break;
        }
    }
    auto heard = monitor.firstAudible(called);
    if (heard && result.leadIn) {
        result.trackStart = millisecondsBetween(called, *heard) - *result.leadIn;
    }
    return result;
}

TrialResult directClientTrial() {
    TimedMonitor monitor;
    monitor.waitForData();
    pa_sample_spec format{PA_SAMPLE_S16LE, rate, 2};
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<uint32_t>(-1);
    attributes.tlength = periodFrames * 4;
    attributes.prebuf = static_cast<uint32_t>(-1);
    attributes.minreq = static_cast<uint32_t>(-1);
    int error = 0;
    pa_simple* stream = pa_simple_new(nullptr, "soundtrack-latency", PA_STREAM_PLAYBACK, nullptr,
                                      "baseline", &format, nullptr, &attributes, &error);
    if (stream == nullptr) {
        throw std::runtime_error("cannot open a playback stream");
    }
    // Like SDL's audio thread: write a period whenever the server takes one.
    std::atomic<bool> toneOn{false};
    std::atomic<bool> running{true};
    std::thread writer([&] {
        std::vector<short> period(periodFrames * 2);
        long toneFrame = 0;
        while (running) {
            bool tone = toneOn;
            for (int i = 0; i < periodFrames; ++i) {
                double value = 0.0;
                if (tone) {
                    value = 16000.0 * std::sin(2.0 * pi * 440.0 * toneFrame++ / rate);
                }
                period[2 * i] = period[2 * i + 1] = static_cast<short>(value);
            }
            int ignored = 0;
            pa_simple_write(stream, period.data(), period.size() * sizeof(short), &ignored);
        }
    });
    std::this_thread::sleep_for(400ms);
    auto called = Clock::now();
    toneOn = true;
    std::this_thread::sleep_for(600ms);
    running = false;
    writer.join();
    monitor.stop();
    pa_simple_free(stream);

    TrialResult result;
    if (auto heard = monitor.firstAudible(called)) {
        result.trackStart = millisecondsBetween(called, *heard);
    }
    return result;
}
