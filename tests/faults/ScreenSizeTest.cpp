// X screens that are not 1920x1080. The demo asks for a 1920x1080 full-screen
// window; GLFW picks the monitor's video mode closest to that, and Xvfb offers
// only its own screen size, so the window gets the whole screen whatever its
// size. The first frame is drawn with the 1920x1080 viewport set at start-up;
// the framebuffer-size event that follows moves the viewport to the real size,
// while windowSize stays (1920, 1080). So the picture is never scaled: a
// smaller screen shows the lower-left part of the 1920x1080 picture, a larger
// one shows it whole in its lower-left corner with the shader's own
// continuation beyond windowSize to the right and above.
//
// The shader shows both: red and green are the rectangle's own corners, which
// follow the viewport; blue is gl_FragCoord.x / windowSize.x, which does not.
// The first frame, with the start-up viewport, lasts one frame only; the
// recorded calls of a run show it, a screenshot cannot.
#include "DemoRun.h"
#include "Pictures.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testsupport;

namespace {

const std::string cornersAndWindowSize = R"(#version 330 core
in vec2 corner;
out vec4 fragColor;
uniform vec2 windowSize;

void main() {
    fragColor = vec4(corner, gl_FragCoord.x / windowSize.x, 1.0);
}
)";

// What the shader paints at window pixel (x, y), y counted from the top, once
// the viewport is the whole window.
Rgb expectedAt(int x, int y, const Image& image) {
    return {channel((x + 0.5) / image.width), channel((image.height - y - 0.5) / image.height),
            channel((x + 0.5) / 1920.0)};
}

bool showsAt(const Image& image, int x, int y) {
    return near(image.at(x, y), expectedAt(x, y, image), 2);
}

// Runs the demo on a `width` x `height` screen and checks the picture at
// each of `points` once the viewport has followed the window.
void checkScreen(int width, int height, const std::vector<std::pair<int, int>>& points) {
    DemoRun::Screen screen;
    screen.geometry = std::to_string(width) + "x" + std::to_string(height) + "x24";
    DemoRun run(screen);
    run.useShaders("viewport.frag", "viewport.vert");
    run.dir().write("fragment.glsl", cornersAndWindowSize);
    run.startAndShow();
    EXPECT_EQ(run.x().windowSize(run.window()), std::make_pair(width, height));
    Image image = run.waitForPicture([&](const Image& i) {
        return i.width == width && std::all_of(points.begin(), points.end(), [&](auto p) {
                   return showsAt(i, p.first, p.second);
               });
    });
    ASSERT_EQ(image.width, width);
    for (auto [x, y] : points) {
        EXPECT_TRUE(showsAt(image, x, y))
            << "at " << x << "," << y << ": " << describe(image.at(x, y)) << " for "
            << describe(expectedAt(x, y, image));
    }
    EXPECT_EQ(run.close(), 0);
    EXPECT_EQ(run.output(), "");
}

} // namespace

TEST(ScreenSize, SmallerScreenShowsTheLowerLeftOfThePictureUnscaled) {
    // The rectangle fills the window; windowSize reaches two thirds across.
    checkScreen(1280, 720, {{0, 719}, {640, 360}, {1279, 0}});
}

TEST(ScreenSize, LargerScreenIsFilledAndThePictureKeepsItsScale) {
    // The nominal picture's centre and right edge, then beyond it: drawn, not
    // left at the clear colour, so the viewport followed the window.
    checkScreen(2560, 1440, {{960, 900}, {1919, 360}, {2559, 0}, {100, 10}});
}
