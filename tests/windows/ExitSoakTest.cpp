// The Windows programs started and ended again and again under Wine with the
// music playing, as a demo ends before a hall: Escape at varied moments, with
// and without a program that links, Alt-F4, and the demo's end at thirty
// seconds. Wine reports a crash on standard error ("wine: Unhandled page
// fault ..., starting debugger...") while the exit status may still be 0, so
// every run's standard error is read for it; a run that does not end is a
// failure too.
//
// VELLOMIRKE_SOAK_RUNS sets the runs of each program (default 45: a fault
// that one run in fifteen shows is missed with a chance of 4.5 %), and
// VELLOMIRKE_SOAK_WINEDEBUG Wine's traces (+loaddll,+seh, say) for a fault
// that one shows.
#include "WineRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <thread>

using namespace std::chrono_literals;
using namespace testsupport;
using windowstest::package;
using windowstest::WineRun;

namespace {

std::string wineDebug() {
    const char* channels = std::getenv("VELLOMIRKE_SOAK_WINEDEBUG");
    return channels != nullptr ? channels : "-all";
}

int runsOfEach() {
    const char* runs = std::getenv("VELLOMIRKE_SOAK_RUNS");
    return runs != nullptr && std::atoi(runs) > 0 ? std::atoi(runs) : 45;
}

enum class Ending { Escape, AltF4, ThirtySeconds };

struct SoakRun {
    int number;
    bool links; // fragment.glsl there, or missing: the program does not link
    Ending ending;
    double after; // seconds from the first frame to Escape or Alt-F4
};

// Run `n` of the soak: every other one without fragment.glsl, every fifth
// ended by Alt-F4, and the moment spread over 0.5 s to 3.5 s by a step that
// shares no factor with the runs' own patterns.
SoakRun plan(int n) {
    return {n, n % 2 == 0, n % 5 == 4 ? Ending::AltF4 : Ending::Escape,
            0.5 + 3.0 * ((n * 7) % 13) / 12.0};
}

// What a crash leaves on Wine's standard error.
bool showsACrash(const std::string& errors) {
    for (const char* sign : {"Unhandled", "starting debugger", "winedbg", "Segmentation"}) {
        if (errors.find(sign) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// One run of `program` in a copy of the sample piece, ended as `r` says;
// a failure names the run. False where it failed.
bool soakOnce(const std::string& program, const SoakRun& r,
              const std::function<XWindow(WineRun&)>& startIt) {
    const std::string what = program + " run " + std::to_string(r.number) +
                             (r.links ? "" : " without fragment.glsl") + ", " +
                             (r.ending == Ending::AltF4           ? "Alt-F4"
                              : r.ending == Ending::ThirtySeconds ? "the 30 s end"
                                                                  : "Escape") +
                             " after " + std::to_string(r.after) + " s";
    SCOPED_TRACE(what);
    WineRun wine;
    DemoRun& run = wine.run;
    for (const char* file : {"vertex.glsl", "fragment.glsl", "audio.mp3"}) {
        if (r.links || std::string(file) != "fragment.glsl") {
            std::filesystem::copy_file(package->path(file), run.dir().file(file));
        }
    }
    startIt(wine);
    const auto shown = std::chrono::steady_clock::now();
    std::optional<int> status;
    if (r.ending == Ending::ThirtySeconds) {
        status = run.waitForExit(90s);
    } else {
        // The moment is what this run is about; nothing else is awaited.
        while (std::chrono::steady_clock::now() - shown < std::chrono::duration<double>(r.after)) {
            std::this_thread::sleep_for(10ms);
        }
        const std::vector<std::string> keys = r.ending == Ending::AltF4
                                                  ? std::vector<std::string>{"Alt_L", "F4"}
                                                  : std::vector<std::string>{"Escape"};
        run.press(keys);
        status = run.waitForExit(60s);
        run.release(keys);
    }
    EXPECT_EQ(status, std::optional<int>(0)) << run.errors();
    EXPECT_FALSE(showsACrash(run.errors())) << run.errors();
    return status == std::optional<int>(0) && !showsACrash(run.errors());
}

} // namespace

TEST(WindowsExitSoak, TheDemoEndsWithoutACrash) {
    const auto started = std::chrono::steady_clock::now();
    const int runs = runsOfEach();
    int failed = 0;
    for (int n = 0; n < runs; ++n) {
        SoakRun r = plan(n);
        if (n == runs - 1) {
            r.ending = Ending::ThirtySeconds;
        }
        failed += !soakOnce("vellomirke-demo.exe", r, [](WineRun& wine) {
            wine.start(wineDebug());
            return wine.run.waitForFirstFrame(90s);
        });
    }
    std::cout << failed << " of " << runs << " runs of the demo failed, in "
              << std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()
              << " s\n";
}

TEST(WindowsExitSoak, LiveEndsWithoutACrash) {
    const auto started = std::chrono::steady_clock::now();
    const int runs = runsOfEach();
    int failed = 0;
    for (int n = 0; n < runs; ++n) {
        failed += !soakOnce("vellomirke-live.exe", plan(n),
                            [](WineRun& wine) { return wine.startLive({}, wineDebug()); });
    }
    std::cout << failed << " of " << runs << " runs of vellomirke-live failed, in "
              << std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()
              << " s\n";
}
