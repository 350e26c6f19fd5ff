// The music follows the piece's time, heard through SDL's disk driver.
#include "AudioTestSupport.h"
#include "LiveProcess.h"
#include "Pictures.h"
#include "TestTrack.h"
#include "ToneAnalysis.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace testsupport;
using namespace audiotest;

TEST(LiveMusic, AfterASeekToTwoSecondsTheToneOfTwoSecondsIsHeard) {
    XvfbServer server;
    TempDir dir;
    dir.copyTestFile("vertex.glsl", "vertex.glsl");
    dir.copyTestFile("position-and-time.frag", "fragment.glsl");
    // One tone a second: where the music is can be told by ear.
    const std::vector<double> tones = {440.0, 550.0, 660.0, 880.0};
    writeToneTrack(dir, "audio.mp3", tones);
    const std::string capture = dir.file("capture.raw");
    LiveProcess live(server.display(), dir, diskDriver(capture));
    XClient x(server.display());
    XWindow window = live.waitForWindow(x);

    // Paused, back to 0 and two seconds on, as the picture shows it. The
    // windowing library takes a second press of a key with the same server
    // time as the first for a duplicate, so each seek waits for the last.
    auto tap = [&](const char* key) {
        x.pressKey(key);
        x.releaseKey(key);
    };
    tap("p");
    tap("Home");
    for (double second : {1.0, 2.0}) {
        tap("Right");
        Image shown = waitForPicture(
            x, window, [&](const Image& i) { return std::abs(encodedTime(i) - second) < 0.07; },
            20s);
        ASSERT_NEAR(encodedTime(shown), second, 0.07) << live.errors();
    }
    const std::size_t resumedAfter = frameCount(capture);
    tap("p");

    std::vector<float> samples;
    std::optional<std::size_t> onset;
    const std::size_t wanted = deviceRate * 3 / 2;
    bool recorded = waitUntil(30s, [&] {
        std::vector<float> all = readStereoAsMono(capture);
        samples.assign(all.begin() + static_cast<long>(std::min(resumedAfter, all.size())),
                       all.end());
        onset = firstAudibleFrame(samples);
        return onset && samples.size() >= *onset + wanted;
    });
    tap("Escape");
    EXPECT_EQ(live.process().waitForExit(10s), std::optional<int>(0));
    ASSERT_TRUE(recorded) << (onset ? "too little sound" : "no sound after resuming");

    std::vector<float> heard(samples.begin() + static_cast<long>(*onset), samples.end());
    auto spans = noticeableSpans(toneSpans(heard, deviceRate, tones), deviceRate / 10);
    const std::string what = describe(spans, deviceRate);
    ASSERT_GE(spans.size(), 2u) << what;
    EXPECT_EQ(spans[0].frequency, 660.0) << what;
    EXPECT_NEAR(static_cast<double>(spans[0].length) / deviceRate, 1.0, 0.1) << what;
    EXPECT_EQ(spans[1].frequency, 880.0) << what;
}
