// --import on shaders written for online shader sites: what it accepts runs
// in the demo without a message, what it cannot map it refuses by name.
#include "DemoProcess.h"
#include "LiveProcess.h"
#include "Pictures.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace std::chrono_literals;
using namespace testsupport;

TEST(Import, AcceptedShadersRunInTheDemoWithoutAMessage) {
    XvfbServer server;
    for (const char* source : {"rings.mainimage.glsl", "frame-stripes.mainimage.glsl"}) {
        SCOPED_TRACE(source);
        TempDir dir;
        std::string errors;
        ASSERT_EQ(
            runLiveCommand({"--import", testDataPath(std::string("live/") + source), dir.path()},
                           dir, errors),
            0)
            << errors;
        ASSERT_TRUE(std::filesystem::exists(dir.file("vertex.glsl")));

        DemoProcess demo(server.display(), dir);
        XClient x(server.display());
        XWindow window = demo.waitForWindow(x);
        // Both shaders paint no black pixel in the middle of the screen.
        Image picture = waitForPicture(x, window, [](const Image& i) {
            Rgb c = i.at(960, 540);
            return c.r + c.g + c.b > 30;
        });
        x.sendCloseRequest(window);
        ASSERT_TRUE(demo.waitForExit(10s));
        EXPECT_EQ(demo.output(), "");
        EXPECT_GT(picture.at(960, 540).r + picture.at(960, 540).g + picture.at(960, 540).b, 30)
            << describe(picture.at(960, 540));
    }
}

TEST(Import, RefusesWhatItCannotMapAndNeverOverwritesUnasked) {
    TempDir dir;
    std::string errors;
    EXPECT_EQ(runLiveCommand({"--imprt", "x.glsl"}, dir, errors), 2);
    EXPECT_NE(errors.find("unknown option '--imprt'"), std::string::npos) << errors;

    // Named as used, in the code only: a comment's iDate does not count.
    EXPECT_EQ(
        runLiveCommand({"--import", testDataPath("live/mouse-texture.mainimage.glsl"), dir.path()},
                       dir, errors),
        1);
    EXPECT_NE(errors.find("iMouse, iChannel0"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("iDate"), std::string::npos) << errors;
    EXPECT_FALSE(std::filesystem::exists(dir.file("fragment.glsl")));

    dir.write("fragment.glsl", "// the author's own piece\n");
    const std::string rings = testDataPath("live/rings.mainimage.glsl");
    EXPECT_EQ(runLiveCommand({"--import", rings, dir.path()}, dir, errors), 1);
    EXPECT_EQ(readFile(dir.file("fragment.glsl")), "// the author's own piece\n");
    EXPECT_EQ(runLiveCommand({"--import", rings, "--force", dir.path()}, dir, errors), 0) << errors;
    EXPECT_NE(readFile(dir.file("fragment.glsl")).find("mainImage(color, gl_FragCoord.xy)"),
              std::string::npos);
}
