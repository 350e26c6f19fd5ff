// Escape and Space, pressed through XTEST as a person at the keyboard would,
// while the demo runs full screen.
#include "DemoProcess.h"
#include "Messages.h"
#include "Pictures.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

using namespace std::chrono_literals;
using namespace testsupport;

namespace {

const std::string fragmentFailed = compileFailed + "fragment\n";

// One demo on its own X server, started on the given fragment shader.
class HotKeys : public ::testing::Test {
  protected:
    void start(const std::string& fragment) {
        dir.copyTestFile("vertex.glsl", "vertex.glsl");
        dir.copyTestFile(fragment, "fragment.glsl");
        demo = std::make_unique<DemoProcess>(server.display(), dir);
        x = std::make_unique<XClient>(server.display());
        window = demo->waitForWindow(*x);
    }

    void replaceFragment(const std::string& fragment) {
        dir.copyTestFile(fragment, "fragment.glsl");
    }

    void pressSpace() { x->holdKey("space", 100ms); }

    Image waitFor(const std::function<bool(const Image&)>& accept) {
        return waitForPicture(*x, window, accept);
    }

    int endWithCloseRequest() {
        x->sendCloseRequest(window);
        auto status = demo->waitForExit(10s);
        return status.value_or(-1000);
    }

    XvfbServer server;
    TempDir dir;
    std::unique_ptr<DemoProcess> demo;
    std::unique_ptr<XClient> x;
    XWindow window = 0;
};

bool isGreen(const Image& i) {
    return near(i.at(960, 540), {0, 255, 0});
}

} // namespace

TEST_F(HotKeys, EscapeHeldEndsTheRun) {
    start("position-and-time.frag");
    x->holdKey("Escape", 100ms);
    auto status = demo->waitForExit(10s);
    ASSERT_TRUE(status) << "Escape did not end the demo";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(demo->output(), "");
}

TEST_F(HotKeys, QuickEscapeTapEndsTheRun) {
    // Press and release reach the demo in one batch, so both are processed by
    // the same event poll: only a key that sticks until it is read is seen.
    start("position-and-time.frag");
    x->pressKey("Escape");
    x->releaseKey("Escape");
    auto status = demo->waitForExit(10s);
    ASSERT_TRUE(status) << "a quick Escape tap was lost";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(demo->output(), "");
}

TEST_F(HotKeys, SpaceShowsTheEditedShader) {
    start("position-and-time.frag");
    ASSERT_TRUE(showsPositions(waitFor([](const Image& i) { return showsPositions(i); })));
    replaceFragment("solid-green.frag");
    pressSpace();
    Image after = waitFor(isGreen);
    EXPECT_TRUE(isGreen(after)) << describe(after.at(960, 540));
    EXPECT_EQ(endWithCloseRequest(), 0);
    EXPECT_EQ(demo->output(), "");
}

TEST_F(HotKeys, BrokenEditIsReportedAndThePictureStays) {
    start("solid-green.frag");
    ASSERT_TRUE(isGreen(waitFor(isGreen)));
    replaceFragment("compile-error.frag");
    pressSpace();
    std::this_thread::sleep_for(500ms);
    std::string out = demo->output();
    EXPECT_EQ(out.rfind(fragmentFailed, 0), 0u) << out;
    EXPECT_NE(out.find(linkFailed), std::string::npos) << out;
    EXPECT_EQ(occurrences(out, fragmentFailed), occurrences(out, linkFailed));
    EXPECT_TRUE(isGreen(x->capture(window))) << "the last program that linked must stay";
    EXPECT_EQ(endWithCloseRequest(), 0);
}

TEST_F(HotKeys, FixedShaderAfterAFailedStartAnimatesWithItsUniforms) {
    // The start-up program never links; the uniforms must still reach the
    // program that Space builds once the file is fixed.
    start("link-error.frag");
    EXPECT_NE(demo->output().find(linkFailed), std::string::npos);
    replaceFragment("position-and-time.frag");
    pressSpace();
    Image first = waitFor([](const Image& i) { return showsPositions(i); });
    ASSERT_TRUE(showsPositions(first))
        << "windowSize did not reach the reloaded program: " << describe(first.at(960, 540));
    std::this_thread::sleep_for(1000ms);
    Image second = x->capture(window);
    EXPECT_GT(encodedTime(second), encodedTime(first) + 0.4)
        << "timeValue did not reach the reloaded program";
    EXPECT_GT(encodedTime(first), 0.0);
    EXPECT_EQ(endWithCloseRequest(), 0);
}

TEST_F(HotKeys, ReloadedShaderWithOtherUniformLocationsStillGetsThem) {
    start("position-and-time.frag");
    ASSERT_TRUE(showsPositions(waitFor([](const Image& i) { return showsPositions(i); })));
    replaceFragment("reordered-uniforms.frag");
    pressSpace();
    // Give the reload time to happen, then expect the same picture, still
    // moving in time.
    std::this_thread::sleep_for(500ms);
    Image first = waitFor([](const Image& i) { return showsPositions(i); });
    ASSERT_TRUE(showsPositions(first)) << describe(first.at(960, 540));
    std::this_thread::sleep_for(1000ms);
    Image second = x->capture(window);
    EXPECT_TRUE(showsPositions(second));
    EXPECT_GT(encodedTime(second), encodedTime(first) + 0.4);
    EXPECT_EQ(endWithCloseRequest(), 0);
    EXPECT_EQ(demo->output(), "");
}

TEST_F(HotKeys, EscapeAndSpaceOnTheSameFrameRebuildThenEnd) {
    start("position-and-time.frag");
    replaceFragment("compile-error.frag");
    // Both keys go down in one batch, so the same frame sees them together.
    x->pressKey("Escape");
    x->pressKey("space");
    std::this_thread::sleep_for(100ms);
    x->releaseKey("space");
    x->releaseKey("Escape");
    auto status = demo->waitForExit(10s);
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 0);
    std::string out = demo->output();
    EXPECT_EQ(occurrences(out, fragmentFailed), 1) << out;
    EXPECT_EQ(occurrences(out, linkFailed), 1) << out;
}

TEST_F(HotKeys, SpaceHeldRebuildsOnEveryFrame) {
    start("position-and-time.frag");
    replaceFragment("compile-error.frag");
    x->holdKey("space", 1500ms);
    std::this_thread::sleep_for(300ms);
    std::string out = demo->output();
    int builds = occurrences(out, fragmentFailed);
    // At any frame rate above a few frames a second, holding Space this long
    // spans several frames; each one prints the whole report once.
    EXPECT_GE(builds, 3) << out;
    EXPECT_EQ(occurrences(out, linkFailed), builds);
    // Nothing more once Space is up.
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(occurrences(demo->output(), fragmentFailed), builds);
    EXPECT_EQ(endWithCloseRequest(), 0);
}
