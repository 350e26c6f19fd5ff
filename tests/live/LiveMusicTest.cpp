// The music follows the piece's time, heard through SDL's disk driver.
#include "AudioTestSupport.h"
#include "LiveCommands.h"
#include "Pictures.h"
#include "ToneTrack.h"

#include <gtest/gtest.h>

using namespace testsupport;
using namespace audiotest;

TEST(LiveMusic, AfterASeekToTwoSecondsTheToneOfTwoSecondsIsHeard) {
    DemoRun run;
    run.useShaders("position-and-time.frag");
    // One tone a second: where the music is can be told by ear.
    const std::vector<double> tones = {440.0, 550.0, 660.0, 880.0};
    writeTones(run.dir(), "audio.mp3", {{440.0, 1}, {550.0, 1}, {660.0, 1}, {880.0, 1}});
    const std::string capture = useDiskDriver(run);
    startLive(run);

    // Paused, back to 0 and two seconds on, as the picture shows it; each
    // seek waits for the last.
    tap(run, "p");
    tap(run, "Home");
    for (double second : {1.0, 2.0}) {
        tap(run, "Right");
        Image shown = run.waitForPicture(
            [&](const Image& i) { return std::abs(encodedTime(i) - second) < 0.07; }, 20s);
        ASSERT_NEAR(encodedTime(shown), second, 0.07) << run.errors();
    }
    const std::size_t resumedAfter = frameCount(capture);
    tap(run, "p");

    const std::vector<float> heard = waitForSoundLasting(capture, 1.5, resumedAfter, 30s);
    tap(run, "Escape");
    EXPECT_EQ(run.waitForExit(), std::optional<int>(0));
    ASSERT_GE(heard.size(), std::size_t(deviceRate * 3 / 2))
        << (heard.empty() ? "no sound after resuming" : "too little sound");

    const auto spans = spansOfTones(heard, tones);
    const std::string what = describe(spans);
    ASSERT_GE(spans.size(), 2u) << what;
    EXPECT_EQ(spans[0].frequency, 660.0) << what;
    EXPECT_NEAR(static_cast<double>(spans[0].length) / deviceRate, 1.0, 0.1) << what;
    EXPECT_EQ(spans[1].frequency, 880.0) << what;
}
