// --import on shaders written for online shader sites: what it accepts runs
// in the demo without a message, what it cannot map it refuses by name.
#include "DemoRun.h"
#include "LiveCommands.h"
#include "Pictures.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace testsupport;

TEST(Import, AcceptedShadersRunInTheDemoWithoutAMessage) {
    for (const char* source : {"rings.mainimage.glsl", "frame-stripes.mainimage.glsl"}) {
        SCOPED_TRACE(source);
        DemoRun run;
        std::string errors;
        ASSERT_EQ(runLiveCommand(
                      {"--import", testDataPath(std::string("live/") + source), run.dir().path()},
                      run.dir(), errors),
                  0)
            << errors;
        ASSERT_TRUE(std::filesystem::exists(run.dir().file("vertex.glsl")));

        run.startAndShow();
        // Both shaders paint no black pixel in the middle of the screen.
        auto lit = [](const Image& i) {
            Rgb c = i.at(960, 540);
            return c.r + c.g + c.b > 30;
        };
        Image picture = run.waitForPicture(lit);
        EXPECT_EQ(run.close(), 0);
        EXPECT_EQ(run.output(), "");
        EXPECT_TRUE(lit(picture)) << describe(picture.at(960, 540));
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
