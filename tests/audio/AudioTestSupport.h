#pragma once

#include "DemoRun.h"
#include "PulseServer.h"

#include <string>
#include <vector>

namespace audiotest {

// Sends the run's sound through SDL's disk driver into the file it returns,
// written period by period at about the pace of playback (SDL sleeps a whole
// number of milliseconds per period, so it runs a few per cent fast).
std::string useDiskDriver(testsupport::DemoRun& run);

// A run whose sound goes to a private PulseAudio server (SDL picking its
// driver itself, as it would for a user), with the server's monitor recorded.
// Declared in this order, they stop in the reverse one: demo, recorder,
// server - also when an assertion ends the test early.
struct ListenedRun {
    template <class Where> explicit ListenedRun(Where where) : run(where) {
        for (const auto& [name, value] : pulse.clientEnvironment()) {
            run.environment()[name] = value;
        }
        run.environment()["SDL_AUDIODRIVER"] = std::nullopt;
    }

    // The next `seconds` of the monitor, once recorded; empty if the
    // recording stalls.
    std::vector<float> listen(double seconds);
    // The test track's tones heard so far, in order, each for at least
    // `shortest` seconds: long enough that only the track, not a click or a
    // glitch, can account for it.
    std::vector<double> tones(double shortest = 0.8) const;
    // What the monitor heard, for failure messages.
    std::string heard() const;

    testsupport::TempDir pulseDir;
    PulseServer pulse{pulseDir};
    const std::string recording = pulseDir.file("monitor.raw");
    MonitorRecorder recorder{pulse, recording};
    testsupport::DemoRun run;
};

} // namespace audiotest
