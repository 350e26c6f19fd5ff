#pragma once

#include "DemoRun.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The command line of vellomirke-live with `options` on the run's piece;
// the timeline hidden unless `timeline`, so that the whole window shows the
// picture.
std::vector<std::string> liveCommand(const testsupport::DemoRun& run,
                                     const std::vector<std::string>& options = {},
                                     bool timeline = false);

// Starts `command` (default: liveCommand(run)) and waits for its first frame,
// which the time and frame rate in the title follow: "vellomirke-live - ...".
// Audio goes to SDL's dummy driver unless the run's environment names another.
testsupport::XWindow startLive(testsupport::DemoRun& run, std::vector<std::string> command = {});

// Watches vellomirke-live for `span` while its picture should stand still:
// the share of one core it used (1.0: a whole core), and whether a frame
// reached its window meanwhile.
struct StillSpan {
    double coreShare;
    bool frameShown;
};
StillSpan watchStandingStill(testsupport::DemoRun& run, std::chrono::milliseconds span);

// A key pressed and released. The windowing library takes a second press of
// a key with the same server time as the first for a duplicate, so a test
// that taps one key twice waits for the effect of the first in between.
void tap(testsupport::DemoRun& run, const std::string& key);

// Runs vellomirke-live with `args` to its end, with no display (DISPLAY
// unset: none of its commands but running a piece needs one); returns the
// exit status, with its standard error in `errors`. With a `readOnlyFolder`,
// that folder is mounted read-only for the run (see ReadOnlyFolder.h): keep
// `scratch`, where the output goes, out of it.
int runLiveCommand(const std::vector<std::string>& args, const testsupport::TempDir& scratch,
                   std::string& errors, const std::string& readOnlyFolder = "");

// As above, with `environment` besides, and its standard output in `output`.
int runLiveCommand(const std::vector<std::string>& args, const testsupport::TempDir& scratch,
                   std::string& errors, std::string& output,
                   const testsupport::Environment& environment);

// The tempo and first downbeat on the audio.mp3 line of --check's `output`:
// "...; 128.00 BPM, first downbeat at 0.346 s".
struct FoundTempo {
    double bpm = 0.0, firstDownbeat = -1.0;
};
std::optional<FoundTempo> tempoIn(const std::string& output);

// Replaces `name` in `dir` the way many editors save: the new text goes to
// another file, which is then renamed over the old one.
void saveByRename(const testsupport::TempDir& dir, const std::string& name,
                  const std::string& content);

// Ten saves of fragment.glsl by rename, the even ones (from the first)
// `first`, the odd ones `second`, each awaited until `shows(picture, round)`
// holds, with no key pressed: a save that is not shown fails the test. The
// median of the times from save to picture is recorded as the test's
// reload_median_ms and printed after `label`.
void timeTenSaves(testsupport::DemoRun& run, const std::string& label, const std::string& first,
                  const std::string& second,
                  const std::function<bool(const testsupport::Image&, int round)>& shows);

// Saves test data's compile-error.frag as fragment.glsl by rename and checks
// what the author then sees: the last good picture (the probe) goes on, its
// time running, inside a red frame, and the problem is reported once, at line
// 6 (Mesa places line 5's missing semicolon there). The problem's text.
std::string expectBrokenSaveInARedFrame(testsupport::DemoRun& run);
