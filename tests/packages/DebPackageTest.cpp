// The Debian package as a user gets it, unpacked rather than installed.
#include "DemoRun.h"
#include "Pictures.h"
#include "RunTool.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace testsupport;

// Its Depends name the libraries the program loads, and its program plays the
// sample piece it carries.
TEST(DebPackage, DependsAndItsProgramPlaysTheSamplePiece) {
    DemoRun run;
    const TempDir& dir = run.dir();
    const std::string depends = runTool({"dpkg-deb", "--field", VELLOMIRKE_DEB, "Depends"});
    for (const char* library : {"libglfw3", "libsdl2-mixer-2.0-0", "libc6"}) {
        EXPECT_NE(depends.find(library), std::string::npos) << library;
    }

    runTool({"dpkg-deb", "--extract", VELLOMIRKE_DEB, dir.path()});
    // The author's companion ships beside the demo.
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("usr/bin/vellomirke-live")));
    // The sample piece where the program looks for it: its working directory.
    for (const char* file : {"vertex.glsl", "fragment.glsl", "audio.mp3"}) {
        std::filesystem::copy_file(dir.file(std::string("usr/share/vellomirke-demo/") + file),
                                   dir.file(file));
    }
    run.startAndShow({dir.file("usr/bin/vellomirke-demo")});
    // The sample's first section is never plain black.
    auto drawn = [](const Image& i) { return i.width == 1920 && !near(i.at(960, 540), {0, 0, 0}); };
    EXPECT_TRUE(drawn(run.waitForPicture(drawn)));
    run.hold({"Escape"}, 1);
    EXPECT_EQ(run.waitForExit(), 0);
    EXPECT_EQ(run.output(), "");
}
