// X screens that are not 1920x1080. The demo asks for a 1920x1080 full-screen
// window; GLFW picks the monitor's video mode closest to that, and Xvfb offers
// only its own screen size, so the window gets the whole screen whatever its
// size. The first frame is drawn with the 1920x1080 viewport set at start-up;
// the framebuffer-size event that follows moves the viewport to the real size,
// while windowSize stays (1920, 1080). So the picture is never scaled: a
// smaller screen shows the lower-left part of the 1920x1080 picture, a larger
// one shows it whole in its lower-left corner with the shader's own
// continuation beyond windowSize (for probe.frag, colours past 1.0, saturated)
// to the right and above.
#include "FaultSupport.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace faults;
using namespace testsupport;

namespace {

// What probe.frag paints at window pixel (x, y), y counted from the top, for
// a window `height` pixels high: gl_FragCoord / (1920, 1080), clamped.
Rgb probeAt(int x, int y, int height) {
    auto channel = [](double v) { return int(std::lround(std::min(v, 1.0) * 255.0)); };
    return {channel((x + 0.5) / 1920.0), channel((height - y - 0.5) / 1080.0), 0};
}

void expectProbeAt(const Image& image, int x, int y) {
    Rgb seen = image.at(x, y);
    Rgb wanted = probeAt(x, y, image.height);
    EXPECT_LE(std::abs(seen.r - wanted.r), 2) << "at " << x << "," << y << ": " << describe(seen);
    EXPECT_LE(std::abs(seen.g - wanted.g), 2) << "at " << x << "," << y << ": " << describe(seen);
}

Image pictureOnScreen(const std::string& screen, int width, int height) {
    XvfbServer server(screen + "x24");
    TempDir dir;
    dir.copyTestFile("vertex.glsl", "vertex.glsl");
    dir.copyTestFile("probe.frag", "fragment.glsl");
    DemoProcess demo(server.display(), dir);
    XClient x(server.display());
    XWindow window = demo.waitForWindow(x);
    EXPECT_EQ(x.windowSize(window), std::make_pair(width, height));
    Image image = x.capture(window);
    x.sendCloseRequest(window);
    auto status = demo.waitForExit(10s);
    EXPECT_TRUE(status && *status == 0);
    EXPECT_EQ(demo.output(), "");
    return image;
}

} // namespace

TEST(ScreenSize, SmallerScreenShowsTheLowerLeftOfThePictureUnscaled) {
    Image image = pictureOnScreen("1280x720", 1280, 720);
    ASSERT_EQ(image.width, 1280);
    expectProbeAt(image, 0, 719);
    expectProbeAt(image, 640, 360);
    // Two thirds of the way across and up, not all the way.
    expectProbeAt(image, 1279, 0);
}

TEST(ScreenSize, LargerScreenIsFilledAndThePictureKeepsItsScale) {
    Image image = pictureOnScreen("2560x1440", 2560, 1440);
    ASSERT_EQ(image.width, 2560);
    expectProbeAt(image, 960, 900); // the 1920x1080 picture's centre
    expectProbeAt(image, 1919, 360);
    // Beyond the nominal picture: drawn, not left at the clear colour, so the
    // viewport followed the window.
    expectProbeAt(image, 2559, 0);
    expectProbeAt(image, 100, 10);
}
