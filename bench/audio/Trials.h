#pragma once

#include <optional>

// One measurement each, made in a fresh process (the soundtrack opens its
// device once per process). Times are milliseconds from the call that starts
// the sound; nothing when no sound arrived within 600 ms.
struct TrialResult {
    // The first audible sample of the track reached the sound server's sink,
    // less the silence that the decoded track itself starts with.
    std::optional<double> trackStart;
    // Only for the soundtrack: the mixer handed the first sample of the
    // track to SDL's audio driver.
    std::optional<double> mixed;
    // Only for the soundtrack: silence at the start of the decoded track
    // (MP3 encoder delay), which is the file's, not the playback's.
    std::optional<double> leadIn;
};

// Soundtrack::open(), then Soundtrack::playLooping() once the device is
// running, against the daemon that the environment names.
TrialResult soundtrackTrial();

// The baseline: a plain libpulse playback stream with the same 512-frame
// buffer, fed silence until the tone is switched on.
TrialResult directClientTrial();
