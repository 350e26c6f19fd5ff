// The music follows the piece's time, heard through SDL's disk driver.
#include "AudioTestSupport.h"
#include "LiveCommands.h"
#include "Pictures.h"
#include "TestTrack.h"
#include "ToneAnalysis.h"
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

    // Paused, back to 0 and two seconds on, as the picture shows it. The
    // windowing library takes a second press of a key with the same server
    // time as the first for a duplicate, so each seek waits for the last.
    auto tap = [&](const char* key) {
        run.press({key});
        run.release({key});
    };
    tap("p");
    tap("Home");
    for (double second : {1.0, 2.0}) {
        tap("Right");
        Image shown = run.waitForPicture(
            [&](const Image& i) { return std::abs(encodedTime(i) - second) < 0.07; }, 20s);
        ASSERT_NEAR(encodedTime(shown), second, 0.07) << run.errors();
    }
    const std::size_t resumedAfter = frameCount(capture);
    tap("p");

    std::vector<float> samples;
    std::optional<std::size_t> onset;
    const std::size_t wanted = deviceRate * 3 / 2;
    bool recorded = waitUntil([&] {
        std::vector<float> all = readStereoAsMono(capture);
        samples.assign(all.begin() + static_cast<long>(std::min(resumedAfter, all.size())),
                       all.end());
        onset = firstAudibleFrame(samples);
        return onset && samples.size() >= *onset + wanted;
    });
    tap("Escape");
    EXPECT_EQ(run.waitForExit(), std::optional<int>(0));
    ASSERT_TRUE(recorded) << (onset ? "too little sound" : "no sound after resuming");

    std::vector<float> heard(samples.begin() + static_cast<long>(*onset), samples.end());
    auto spans = noticeableSpans(toneSpans(heard, deviceRate, tones), deviceRate / 10);
    const std::string what = describe(spans, deviceRate);
    ASSERT_GE(spans.size(), 2u) << what;
    EXPECT_EQ(spans[0].frequency, 660.0) << what;
    EXPECT_NEAR(static_cast<double>(spans[0].length) / deviceRate, 1.0, 0.1) << what;
    EXPECT_EQ(spans[1].frequency, 880.0) << what;
}
