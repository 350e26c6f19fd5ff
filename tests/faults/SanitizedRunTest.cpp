// A whole thirty-second run of the demo built with AddressSanitizer and
// UndefinedBehaviorSanitizer: start-up, music, frames, Space reloads of a good
// and a broken shader, the end by time and the shutdown. Any invalid read or
// write, undefined behaviour or leak in the program's own code ends the
// process with a report on standard error. The GL driver's allocations that
// live to the end of the process are named in tests/lsan.supp, SDL's in
// lsan-sound.supp; KeepDriverLoaded.cpp keeps the driver nameable at exit.
#include "DemoRun.h"
#include "Messages.h"
#include "ToneTrack.h"

#include <gtest/gtest.h>

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
