#pragma once

#include "DemoRun.h"
#include "PulseServer.h"
#include "ToneAnalysis.h"

#include <string>
#include <vector>

namespace audiotest {

using namespace std::chrono_literals;

// Synthesises the test track into `dir` as `name` (MP3 or, by its extension,
// another format), throwing if it cannot.
void writeTwoToneTrack(const testsupport::TempDir& dir, const std::string& name);

// Sends the run's sound through SDL's disk driver into the file it returns,
// written period by period at about the pace of playback (SDL sleeps a whole
// number of milliseconds per period, so it runs a few per cent fast).
std::string useDiskDriver(testsupport::DemoRun& run);
// The probe shader and the test track as the run's piece; the sound as
// useDiskDriver() records it.
std::string playTestTrack(testsupport::DemoRun& run);

// The first audible frame of the recording at `path`, once there is one;
// nothing at the deadline.
std::optional<std::size_t> waitForSound(const std::string& path,
                                        std::chrono::milliseconds timeout = 30s);
// The recording at `path` from its first sound after frame `from` on, once
// that holds `seconds`; what there is at the deadline.
std::vector<float> waitForSoundLasting(const std::string& path, double seconds,
                                       std::size_t from = 0,
                                       std::chrono::milliseconds timeout = 60s);

// A run whose sound goes to a private PulseAudio server (SDL picking its
// driver itself, as it would for a user), with the server's monitor recorded.
// Declared in this order, they stop in the reverse one: demo, recorder,
// server - also when an assertion ends the test early.
struct ListenedRun {
    template <class Where> explicit ListenedRun(Where where) : run(where) {
        run.environment().insert(pulse.clientEnvironment().begin(),
                                 pulse.clientEnvironment().end());
        run.environment()["SDL_AUDIODRIVER"] = std::nullopt;
    }

    // The next `seconds` of the monitor, once recorded; empty if the
    // recording stalls.
    std::vector<float> listen(double seconds);
    // The test track's tones heard so far, in order, each for at least
    // `shortest` seconds: long enough that only the track, not a click or a
    // glitch, can account for it.
    std::vector<double> tones(double shortest = 0.8) const;
    // Waits until tones() holds `inOrder` one after the other.
    bool waitToHear(const std::vector<double>& inOrder, std::chrono::milliseconds timeout = 30s);
    // What the monitor heard, for failure messages.
    std::string heard() const;

    testsupport::TempDir pulseDir;
    PulseServer pulse{pulseDir};
    const std::string recording = pulseDir.file("monitor.raw");
    std::unique_ptr<testsupport::ChildProcess> recorder = recordMonitor(pulse, recording);
    testsupport::DemoRun run;
};

} // namespace audiotest
