// The Debian package as a user gets it, unpacked rather than installed: what
// it depends on, and its program running the sample piece it carries.
#include "DemoProcess.h"
#include "Pictures.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace std::chrono_literals;
using namespace testsupport;

namespace {

// Standard output of `argv`, which must end with status 0.
std::string outputOf(const std::vector<std::string>& argv, const TempDir& dir) {
    ProcessOptions options;
    options.argv = argv;
    options.stdoutPath = dir.file(".command-output");
    ChildProcess child(options);
    auto status = child.waitForExit(60s);
    if (status != 0) {
        throw std::runtime_error(argv.front() + " failed");
    }
    return readFile(options.stdoutPath);
}

} // namespace

TEST(DebPackage, DependsOnTheLibrariesTheProgramLoads) {
    TempDir dir;
    const std::string depends = outputOf({"dpkg-deb", "--field", VELLOMIRKE_DEB, "Depends"}, dir);
    for (const char* library : {"libglfw3", "libsdl2-mixer-2.0-0", "libc6"}) {
        EXPECT_NE(depends.find(library), std::string::npos) << library << " missing: " << depends;
    }
}

TEST(DebPackage, ItsProgramPlaysTheSamplePieceItCarries) {
    TempDir dir;
    outputOf({"dpkg-deb", "--extract", VELLOMIRKE_DEB, dir.path()}, dir);
    // The sample piece where the program looks for it: in its working directory.
    for (const char* file : {"vertex.glsl", "fragment.glsl", "audio.mp3"}) {
        std::filesystem::copy_file(dir.file(std::string("usr/share/vellomirke-demo/") + file),
                                   dir.file(file));
    }
    XvfbServer server;
    DemoProcess demo(server.display(), dir, {}, {dir.file("usr/bin/vellomirke-demo")});
    XClient x(server.display());
    XWindow window = demo.waitForWindow(x);
    // The sample's first section is never plain black.
    Image picture = waitForPicture(x, window, [](const Image& i) {
        return i.width == 1920 && !near(i.at(960, 540), {0, 0, 0}, 2);
    });
    EXPECT_FALSE(near(picture.at(960, 540), {0, 0, 0}, 2)) << describe(picture.at(960, 540));
    x.holdKey("Escape", 200ms);
    EXPECT_EQ(demo.waitForExit(20s), 0);
    EXPECT_EQ(demo.output(), "");
}
