// A whole thirty-second run of the demo built with AddressSanitizer and
// UndefinedBehaviorSanitizer: start-up, music, frames, Space reloads of a good
// and a broken shader, the end by time and the shutdown. Any invalid read or
// write, undefined behaviour or leak in the program's own code ends the
// process with a report on standard error. The GL driver's allocations that
// live to the end of the process are named in tests/lsan.supp, SDL's in
// lsan-sound.supp; KeepDriverLoaded.cpp keeps the driver nameable at exit.
#include "FaultSupport.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <thread>

using namespace faults;
using namespace testsupport;

TEST(Sanitizers, WholeRunHasNoMemoryErrorsOrLeaksInTheProgram) {
    XvfbServer server;
    TempDir dir;
    dir.copyTestFile("vertex.glsl", "vertex.glsl");
    dir.copyTestFile("probe.frag", "fragment.glsl");
    ProcessOptions sox;
    sox.argv = {"sox",   "-n", "-r",   "48000", "-c", "2", dir.file("audio.mp3"),
                "synth", "3",  "sine", "440"};
    ChildProcess makeTrack(sox);
    ASSERT_EQ(makeTrack.waitForExit(20s), 0);

    ProcessOptions options;
    options.argv = {SANITIZED_DEMO};
    options.workingDirectory = dir.path();
    options.environment = {
        {"DISPLAY", server.display()},
        {"SDL_AUDIODRIVER", "disk"},
        {"SDL_DISKAUDIOFILE", dir.file("heard.raw")},
        {"ASAN_OPTIONS", "detect_leaks=1:exitcode=99"},
        {"LSAN_OPTIONS", "suppressions=" LSAN_SUPPRESSIONS ":print_suppressions=0"},
        {"UBSAN_OPTIONS", "print_stacktrace=1:halt_on_error=1:exitcode=98"}};
    options.stdoutPath = dir.file("stdout.txt");
    options.stderrPath = dir.file("stderr.txt");
    auto started = std::chrono::steady_clock::now();
    ChildProcess demo(options);

    XClient x(server.display());
    ASSERT_TRUE(x.waitForWindow("Vellomirke2017Demo", 60s)) << readFile(dir.file("stderr.txt"));
    std::this_thread::sleep_for(2s);
    x.holdKey("space", 150ms); // the same shader again
    std::this_thread::sleep_for(1s);
    dir.copyTestFile("compile-error.frag", "fragment.glsl");
    x.holdKey("space", 150ms); // a build that fails, with its messages
    std::this_thread::sleep_for(1s);
    size_t brokenBuilds = 0;
    std::string output = readFile(dir.file("stdout.txt"));
    for (size_t at = output.find(linkFailed); at != std::string::npos;
         at = output.find(linkFailed, at + 1)) {
        ++brokenBuilds;
    }
    EXPECT_GT(brokenBuilds, 0u) << "the broken shader was not rebuilt";

    auto status = demo.waitForExit(90s);
    auto took = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(status) << "the sanitized demo did not end";
    std::string errors = readFile(dir.file("stderr.txt"));
    EXPECT_EQ(*status, 0) << errors;
    EXPECT_EQ(errors.find("Sanitizer"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("runtime error"), std::string::npos) << errors;
    EXPECT_GE(took, 30s) << "the run ended before its thirty seconds";
}
