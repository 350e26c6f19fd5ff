// What the demo puts on the screen: every pixel from the fragment shader,
// fed with the window size and the time.
#include "DemoRun.h"
#include "Pictures.h"
#include "DemoContract.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace testsupport;

namespace {

bool showingPositions(const Image& i) {
    return showsPositions(i);
}

void closeQuietly(DemoRun& run) {
    EXPECT_EQ(run.close(), 0);
    EXPECT_EQ(run.output(), "");
}

} // namespace

TEST(DemoPicture, EveryPixelComesFromTheShaderWithWindowSizeAndTime) {
    DemoRun run;
    run.useShaders("position-and-time.frag");
    auto started = std::chrono::steady_clock::now();
    auto secondsSinceStart = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    };
    run.startAndShow();
    EXPECT_EQ(run.x().windowSize(run.window()), std::make_pair(demo::width, demo::height))
        << "not full screen";

    Image first = run.waitForPicture(showingPositions);
    double firstSeen = secondsSinceStart();
    ASSERT_TRUE(showsPositions(first)) << "pixel (960, 540) is " << describe(centre(first));
    double t1 = encodedTime(first);
    // The clock starts inside the process, so it can be no later than the
    // time since the test started the process. A quick start-up shows its
    // first frame before the picture's first step of time (1/8 s): 0 then.
    EXPECT_GE(t1, 0.0);
    EXPECT_LE(t1, firstSeen + 0.2);

    Image second = run.waitForPicture(
        [&](const Image& i) { return showsPositions(i) && encodedTime(i) > t1 + 0.5; });
    double secondSeen = secondsSinceStart();
    EXPECT_TRUE(showsPositions(second));
    double t2 = encodedTime(second);
    EXPECT_GT(t2, t1 + 0.5) << "timeValue did not advance: " << t1 << " then " << t2;
    EXPECT_LE(t2, secondSeen + 0.2);
    closeQuietly(run);
}

TEST(DemoPicture, ShaderWithoutTheUniformsStillRunsSilently) {
    DemoRun run;
    run.useShaders("solid-green.frag");
    run.startAndShow();
    Image picture = run.waitForPicture([](const Image& i) {
        return near(i.at(0, 0), {0, 255, 0}) && near(i.at(1919, 1079), {0, 255, 0});
    });
    EXPECT_TRUE(near(centre(picture), {0, 255, 0})) << describe(centre(picture));
    closeQuietly(run);
}

TEST(DemoPicture, ViewportFollowsTheFramebufferWhileWindowSizeStays) {
    // viewport.frag paints the rectangle's own corners: red 0 at its left
    // edge, 1 at its right edge. position-and-time.frag would not tell a
    // wrong viewport apart, since gl_FragCoord does not depend on it.
    DemoRun run;
    run.useShaders("viewport.frag", "viewport.vert");
    run.startAndShow();
    Image full = run.waitForPicture([](const Image& i) { return i.at(1919, 0).r > 250; });
    EXPECT_GT(full.at(1919, 0).r, 250) << "the initial viewport must be 1920x1080";
    EXPECT_LT(full.at(0, 1079).r, 5);

    run.x().resizeWindow(run.window(), 960, 540);

    Image half = run.waitForPicture(
        [](const Image& i) { return i.width == 960 && i.height == 540 && i.at(959, 0).r > 250; });
    ASSERT_EQ(half.width, 960);
    // The whole rectangle now fits the smaller framebuffer: its right edge is
    // at the window's right edge, not off screen.
    EXPECT_GT(half.at(959, 0).r, 250) << describe(half.at(959, 0));
    EXPECT_GT(half.at(0, 0).g, 250) << describe(half.at(0, 0));
    closeQuietly(run);
}

TEST(DemoPicture, WindowSizeStaysNominalAfterAResize) {
    DemoRun run;
    run.useShaders("position-and-time.frag");
    run.startAndShow();
    run.waitForPicture(showingPositions);
    run.x().resizeWindow(run.window(), 960, 540);
    // gl_FragCoord / windowSize: a 960-pixel-wide framebuffer reaches only
    // halfway across when windowSize stays 1920x1080.
    Image half = run.waitForPicture([](const Image& i) {
        return i.width == 960 && std::abs(i.at(959, 539).r - channel(959.5 / 1920.0)) <= 3 &&
               std::abs(i.at(0, 0).g - channel(539.5 / 1080.0)) <= 3;
    });
    ASSERT_EQ(half.width, 960);
    EXPECT_NEAR(half.at(959, 539).r, channel(959.5 / 1920.0), 3);
    EXPECT_NEAR(half.at(0, 0).g, channel(539.5 / 1080.0), 3);
    closeQuietly(run);
}

TEST(DemoPicture, NoMouseCursorOverThePicture) {
    DemoRun run;
    run.useShaders("position-and-time.frag");
    // Xvfb's own cursor shows over its bare screen: what "hidden" is told from.
    ASSERT_GT(run.x().visibleCursorPixels(), 0);
    run.startAndShow();
    EXPECT_EQ(run.visibleCursorAfterPointerMoves(), 0) << "the cursor shows over the picture";
    closeQuietly(run);
}
