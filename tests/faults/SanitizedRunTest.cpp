// A whole thirty-second run of the demo built with AddressSanitizer and
// UndefinedBehaviorSanitizer: start-up, music, frames, Space reloads of a good
// and a broken shader, the end by time and the shutdown. Any invalid read or
// write, undefined behaviour or leak in the program's own code ends the
// process with a report on standard error. The GL driver's allocations that
// live to the end of the process are named in tests/lsan.supp, SDL's in
// lsan-sound.supp; KeepDriverLoaded.cpp keeps the driver nameable at exit.
#include "DemoRun.h"
#include "EndingMoments.h"
#include "Messages.h"
#include "ToneTrack.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace testsupport;

TEST(Sanitizers, WholeRunHasNoMemoryErrorsOrLeaksInTheProgram) {
    DemoRun run;
    run.useShaders("probe.frag");
    writeTones(run.dir(), "audio.mp3", {{440, 3}});
    run.environment()["SDL_AUDIODRIVER"] = "disk";
    run.environment()["SDL_DISKAUDIOFILE"] = run.dir().file("heard.raw");
    run.environment()["ASAN_OPTIONS"] = "detect_leaks=1:exitcode=99";
    run.environment()["LSAN_OPTIONS"] = "suppressions=" LSAN_SUPPRESSIONS ":print_suppressions=0";
    run.environment()["UBSAN_OPTIONS"] = "print_stacktrace=1:halt_on_error=1:exitcode=98";
    auto started = std::chrono::steady_clock::now();
    run.start({SANITIZED_DEMO});
    run.waitForFirstFrame(90s);
    run.hold({"space"}); // the same shader again
    // Sticky keys may add the frame after the release; the file is replaced
    // once that has passed.
    run.waitForFrames(2);
    run.dir().copyTestFile("compile-error.frag", "fragment.glsl");
    run.hold({"space"}); // a build that fails, with its messages
    std::string output = run.waitForOutput(
        [](const std::string& text) { return occurrences(text, linkFailed) > 0; });
    EXPECT_GT(occurrences(output, linkFailed), 0) << "the broken shader was not rebuilt";

    auto status = run.waitForExit(90s);
    auto took = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(status) << "the sanitized demo did not end";
    std::string errors = run.errors();
    EXPECT_EQ(*status, 0) << errors;
    EXPECT_EQ(errors.find("Sanitizer"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("runtime error"), std::string::npos) << errors;
    EXPECT_GE(took, 30s) << "the run ended before its thirty seconds";
}

// Ended at any moment, again and again, with the music playing: by Escape or
// a close request, 0.1 s to 2.4 s after the first frame, every other run
// without fragment.glsl (a program that does not link). No run may end by a
// signal or leave a sanitizer's report, which the exit at an odd moment
// (the sound thread mid-buffer, a build on its way) would show.
TEST(Sanitizers, EndingAtAnyMomentLeavesNoReport) {
    for (int n = 0; n < 16; ++n) {
        const auto [links, closed, after] = endingMoment(n);
        SCOPED_TRACE("run " + std::to_string(n) + (links ? "" : " without fragment.glsl") +
                     (closed ? ", closed" : ", Escape") + " after " + std::to_string(after) + " s");
        DemoRun run;
        run.useShaders("probe.frag");
        if (!links) {
            std::filesystem::remove(run.dir().file("fragment.glsl"));
        }
        writeTones(run.dir(), "audio.mp3", {{440, 3}});
        run.environment()["SDL_AUDIODRIVER"] = "disk";
        run.environment()["SDL_DISKAUDIOFILE"] = run.dir().file("heard.raw");
        run.environment()["ASAN_OPTIONS"] = "detect_leaks=1:exitcode=99";
        run.environment()["LSAN_OPTIONS"] =
            "suppressions=" LSAN_SUPPRESSIONS ":print_suppressions=0";
        run.environment()["UBSAN_OPTIONS"] = "print_stacktrace=1:halt_on_error=1:exitcode=98";
        run.start({SANITIZED_DEMO});
        run.waitForFirstFrame(90s);
        // The moment is what the run is about; nothing else is awaited.
        std::this_thread::sleep_for(std::chrono::duration<double>(after));
        std::optional<int> status;
        if (closed) {
            status = run.close(90s);
        } else {
            run.press({"Escape"});
            status = run.waitForExit(90s);
            run.release({"Escape"});
        }
        EXPECT_EQ(status, std::optional<int>(0)) << run.errors();
        EXPECT_EQ(run.errors().find("Sanitizer"), std::string::npos) << run.errors();
        EXPECT_EQ(run.errors().find("runtime error"), std::string::npos) << run.errors();
    }
}
