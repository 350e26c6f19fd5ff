// What the demo puts on the screen: every pixel from the fragment shader,
// fed with the window size and the time.
#include "DemoProcess.h"
#include "Pictures.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

using namespace std::chrono_literals;
using namespace testsupport;

namespace {

struct RunningDemo {
    XvfbServer server;
    TempDir dir;
    std::unique_ptr<DemoProcess> demo;
    std::unique_ptr<XClient> x;
    XWindow window = 0;
    std::chrono::steady_clock::time_point started;

    RunningDemo(const std::string& vertex, const std::string& fragment) {
        dir.copyTestFile(vertex, "vertex.glsl");
        dir.copyTestFile(fragment, "fragment.glsl");
        started = std::chrono::steady_clock::now();
        demo = std::make_unique<DemoProcess>(server.display(), dir);
        x = std::make_unique<XClient>(server.display());
        window = demo->waitForWindow(*x);
    }

    void close() {
        x->sendCloseRequest(window);
        auto status = demo->waitForExit(10s);
        ASSERT_TRUE(status);
        EXPECT_EQ(*status, 0);
        EXPECT_EQ(demo->output(), "");
    }
};

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

TEST(DemoPicture, EveryPixelComesFromTheShaderWithWindowSizeAndTime) {
    RunningDemo run("vertex.glsl", "position-and-time.frag");
    EXPECT_EQ(run.x->windowSize(run.window), std::make_pair(1920, 1080)) << "not full screen";

    Image first =
        waitForPicture(*run.x, run.window, [](const Image& i) { return showsPositions(i); });
    double firstSeen = secondsSince(run.started);
    ASSERT_TRUE(showsPositions(first)) << "pixel (960, 540) is " << describe(first.at(960, 540));
    double t1 = encodedTime(first);
    // The clock starts inside the process, so it can be no later than the
    // time since the test started the process.
    EXPECT_GT(t1, 0.0);
    EXPECT_LE(t1, firstSeen + 0.2);

    std::this_thread::sleep_for(1500ms);
    Image second = run.x->capture(run.window);
    EXPECT_TRUE(showsPositions(second));
    double t2 = encodedTime(second);
    EXPECT_GT(t2, t1 + 0.5) << "timeValue did not advance: " << t1 << " then " << t2;
    EXPECT_LE(t2, secondsSince(run.started) + 0.2);
    run.close();
}

TEST(DemoPicture, ShaderWithoutTheUniformsStillRunsSilently) {
    RunningDemo run("vertex.glsl", "solid-green.frag");
    Image picture = waitForPicture(*run.x, run.window, [](const Image& i) {
        return near(i.at(0, 0), {0, 255, 0}) && near(i.at(1919, 1079), {0, 255, 0});
    });
    EXPECT_TRUE(near(picture.at(960, 540), {0, 255, 0})) << describe(picture.at(960, 540));
    run.close();
}

TEST(DemoPicture, ViewportFollowsTheFramebufferWhileWindowSizeStays) {
    // viewport.frag paints the rectangle's own corners: red 0 at its left
    // edge, 1 at its right edge. position-and-time.frag would not tell a
    // wrong viewport apart, since gl_FragCoord does not depend on it.
    RunningDemo run("viewport.vert", "viewport.frag");
    Image full =
        waitForPicture(*run.x, run.window, [](const Image& i) { return i.at(1919, 0).r > 250; });
    EXPECT_GT(full.at(1919, 0).r, 250) << "the initial viewport must be 1920x1080";
    EXPECT_LT(full.at(0, 1079).r, 5);

    run.x->resizeWindow(run.window, 960, 540);

    Image half = waitForPicture(*run.x, run.window, [](const Image& i) {
        return i.width == 960 && i.height == 540 && i.at(959, 0).r > 250;
    });
    ASSERT_EQ(half.width, 960);
    // The whole rectangle now fits the smaller framebuffer: its right edge is
    // at the window's right edge, not off screen.
    EXPECT_GT(half.at(959, 0).r, 250) << describe(half.at(959, 0));
    EXPECT_GT(half.at(0, 0).g, 250) << describe(half.at(0, 0));
    run.close();
}

TEST(DemoPicture, WindowSizeStaysNominalAfterAResize) {
    RunningDemo run("vertex.glsl", "position-and-time.frag");
    waitForPicture(*run.x, run.window, [](const Image& i) { return showsPositions(i); });
    run.x->resizeWindow(run.window, 960, 540);
    // gl_FragCoord / windowSize: a 960-pixel-wide framebuffer reaches only
    // halfway across when windowSize stays 1920x1080.
    Image half = waitForPicture(*run.x, run.window, [](const Image& i) {
        return i.width == 960 && std::abs(i.at(959, 539).r - channel(959.5 / 1920.0)) <= 3 &&
               std::abs(i.at(0, 0).g - channel(539.5 / 1080.0)) <= 3;
    });
    ASSERT_EQ(half.width, 960);
    EXPECT_NEAR(half.at(959, 539).r, channel(959.5 / 1920.0), 3);
    EXPECT_NEAR(half.at(0, 0).g, channel(539.5 / 1080.0), 3);
    run.close();
}
