// Escape and Space, pressed through XTEST as a person at the keyboard would,
// while the demo runs full screen.
#include "DemoRun.h"
#include "Messages.h"
#include "Pictures.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testsupport;

namespace {

const std::string fragmentFailed = compileFailed + "fragment\n";

bool isGreen(const Image& i) {
    return near(centre(i), {0, 255, 0});
}

bool showingPositions(const Image& i) {
    return showsPositions(i);
}

// The picture flipped left to right.
Image mirrored(Image image) {
    for (int y = 0; y < image.height; ++y) {
        auto row = image.pixels.begin() + y * image.width;
        std::reverse(row, row + image.width);
    }
    return image;
}

// Waits for a picture whose encoded time is past `first`'s by more than
// `seconds`, and checks that it is one.
void expectTimeMovesOn(DemoRun& run, const Image& first, double seconds,
                       const std::function<bool(const Image&)>& shows) {
    Image later = run.waitForPicture(
        [&](const Image& i) { return shows(i) && encodedTime(i) > encodedTime(first) + seconds; });
    ASSERT_TRUE(shows(later));
    EXPECT_GT(encodedTime(later), encodedTime(first) + seconds)
        << "timeValue did not reach the reloaded program";
}

} // namespace

TEST(HotKeys, EscapeHeldOrQuicklyTappedEndsTheRun) {
    // A tap's press and release can reach the demo before one event poll:
    // only a key that sticks until it is read is seen then.
    for (bool tap : {false, true}) {
        SCOPED_TRACE(tap ? "tapped" : "held");
        DemoRun run;
        run.useShaders("position-and-time.frag");
        run.startAndShow();
        run.press({"Escape"});
        if (tap) {
            run.release({"Escape"});
        }
        auto status = run.waitForExit();
        ASSERT_TRUE(status) << "Escape did not end the demo";
        EXPECT_EQ(*status, 0);
        EXPECT_EQ(run.output(), "");
    }
}

TEST(HotKeys, SpaceShowsTheEditedShader) {
    DemoRun run;
    run.useShaders("position-and-time.frag");
    run.startAndShow();
    ASSERT_TRUE(showsPositions(run.waitForPicture(showingPositions)));
    run.useShaders("solid-green.frag");
    run.hold({"space"});
    Image after = run.waitForPicture(isGreen);
    EXPECT_TRUE(isGreen(after)) << describe(centre(after));
    EXPECT_EQ(run.close(), 0);
    EXPECT_EQ(run.output(), "");
}

TEST(HotKeys, BrokenEditIsReportedAndThePictureStays) {
    DemoRun run;
    run.useShaders("solid-green.frag");
    run.startAndShow();
    ASSERT_TRUE(isGreen(run.waitForPicture(isGreen)));
    run.useShaders("compile-error.frag");
    run.hold({"space"});
    // The frame that was under way when Space went up, and the one after it
    // that the sticky key adds, finish their builds before these frames.
    run.waitForFrames(3);
    std::string out = run.waitForOutput([](const std::string& o) { return !o.empty(); });
    EXPECT_EQ(out.rfind(fragmentFailed, 0), 0u) << out;
    EXPECT_NE(out.find(linkFailed), std::string::npos) << out;
    EXPECT_EQ(occurrences(out, fragmentFailed), occurrences(out, linkFailed));
    EXPECT_TRUE(isGreen(run.picture())) << "the last program that linked must stay";
    EXPECT_EQ(run.close(), 0);
}

TEST(HotKeys, FixedShaderAfterAFailedStartAnimatesWithItsUniforms) {
    // The start-up program never links; the uniforms must still reach the
    // program that Space builds once the file is fixed.
    DemoRun run;
    run.useShaders("link-error.frag");
    run.startAndShow();
    EXPECT_NE(run.output().find(linkFailed), std::string::npos)
        << "reported before the first frame";
    run.useShaders("position-and-time.frag");
    run.hold({"space"});
    Image first = run.waitForPicture(showingPositions);
    ASSERT_TRUE(showsPositions(first))
        << "windowSize did not reach the reloaded program: " << describe(centre(first));
    EXPECT_GT(encodedTime(first), 0.0);
    expectTimeMovesOn(run, first, 0.4, showingPositions);
    EXPECT_EQ(run.close(), 0);
}

TEST(HotKeys, ReloadedShaderWithOtherUniformLocationsStillGetsThem) {
    // reordered-uniforms.frag, mirrored so that the reload shows: its uniforms
    // sit at other locations than those of the program it replaces.
    DemoRun run;
    run.useShaders("position-and-time.frag");
    run.startAndShow();
    ASSERT_TRUE(showsPositions(run.waitForPicture(showingPositions)));
    std::string source = readFile(testDataPath("reordered-uniforms.frag"));
    const std::string colour = "fragColor = vec4(uv,";
    ASSERT_NE(source.find(colour), std::string::npos);
    source.replace(source.find(colour), colour.size(), "fragColor = vec4(1.0 - uv.x, uv.y,");
    run.dir().write("fragment.glsl", source);
    run.hold({"space"});
    auto showsMirrored = [](const Image& i) { return showsPositions(mirrored(i)); };
    Image first = run.waitForPicture(showsMirrored);
    ASSERT_TRUE(showsMirrored(first)) << describe(centre(first));
    expectTimeMovesOn(run, first, 0.4, showsMirrored);
    EXPECT_EQ(run.close(), 0);
    EXPECT_EQ(run.output(), "");
}

TEST(HotKeys, EscapeAndSpaceOnTheSameFrameRebuildThenEnd) {
    DemoRun run;
    run.useShaders("position-and-time.frag");
    run.startAndShow();
    run.useShaders("compile-error.frag");
    // One batch: the same event poll reads both keys.
    run.press({"Escape", "space"});
    auto status = run.waitForExit();
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 0);
    std::string out = run.output();
    EXPECT_EQ(occurrences(out, fragmentFailed), 1) << out;
    EXPECT_EQ(occurrences(out, linkFailed), 1) << out;
}

TEST(HotKeys, SpaceHeldRebuildsOnEveryFrame) {
    DemoRun run;
    run.useShaders("position-and-time.frag");
    run.startAndShow();
    run.useShaders("compile-error.frag");
    run.hold({"space"}, 6);
    int atRelease = occurrences(run.output(), fragmentFailed);
    // Each frame that sees Space down prints the whole report once.
    EXPECT_GE(atRelease, 3) << run.output();
    // Up to two more: the frame under way when Space went up, and the one
    // after it that the sticky key adds. Then nothing.
    run.waitForFrames(3);
    std::string out = run.output();
    int builds = occurrences(out, fragmentFailed);
    EXPECT_LE(builds, atRelease + 2) << out;
    EXPECT_EQ(occurrences(out, linkFailed), builds);
    run.waitForFrames(10);
    EXPECT_EQ(occurrences(run.output(), fragmentFailed), builds);
    EXPECT_EQ(run.close(), 0);
}
