// The Debian package as a user gets it, unpacked rather than installed, and
// as Debian's own checker sees it.
#include "DemoRun.h"
#include "Pictures.h"
#include "RunTool.h"
#include "VideoProbe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

using namespace std::chrono_literals;
using namespace testsupport;
namespace fs = std::filesystem;

// Errors and warnings, with no overrides; informational tags are not shown.
TEST(DebPackage, LintianReportsNoErrorOrWarning) {
    std::istringstream report(
        runTool({VELLOMIRKE_LINTIAN, "--fail-on", "none", VELLOMIRKE_DEB}, 120s));
    std::string line, problems;
    while (std::getline(report, line)) {
        if (line.rfind("E: ", 0) == 0 || line.rfind("W: ", 0) == 0) {
            problems += line + "\n";
        }
    }
    EXPECT_EQ(problems, "");
}

// The installed tool, unpacked anywhere, finds the demo and the library beside
// it without a build tree or a variable, and captures the piece of the folder
// it runs in.
TEST(DebPackage, ItsCaptureToolRecordsThePieceInTheCurrentFolder) {
    TempDir unpacked;
    runTool({"dpkg-deb", "--extract", VELLOMIRKE_DEB, unpacked.path()});
    TempDir piece;
    piece.copyTestFile("vertex.glsl", "vertex.glsl");
    piece.copyTestFile("probe.frag", "fragment.glsl");
    fs::copy_file(unpacked.file("usr/share/vellomirke-demo/audio.mp3"), piece.file("audio.mp3"));
    ProcessOptions inPiece;
    inPiece.workingDirectory = piece.path();
    inPiece.environment["VELLOMIRKE_BUILD_DIR"] = std::nullopt;
    EXPECT_EQ(runTool({unpacked.file("usr/bin/vellomirke-capture"), "--fps", "2"}, 200s, inPiece),
              "");

    const std::string video = piece.file("demo.mp4");
    videoprobe::expectDeliveryFormat(video, 192000);
    auto streams = videoprobe::streams(video);
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0].decodedFrames, 61);
    EXPECT_NEAR(streams[1].duration, 30.5, 0.03);
    // The sample soundtrack is heard, not silence.
    auto samples = videoprobe::audio(video, 8000);
    auto loudest = std::max_element(samples.begin(), samples.end(),
                                    [](int a, int b) { return std::abs(a) < std::abs(b); });
    ASSERT_NE(loudest, samples.end());
    EXPECT_GT(std::abs(*loudest), 3000);
}

// Its Depends name the libraries the program loads, and its program plays the
// sample piece it carries.
TEST(DebPackage, DependsAndItsProgramPlaysTheSamplePiece) {
    DemoRun run;
    const TempDir& dir = run.dir();
    const std::string depends = runTool({"dpkg-deb", "--field", VELLOMIRKE_DEB, "Depends"});
    for (const char* library : {"libglfw3", "libsdl2-mixer-2.0-0", "libmpg123-0", "libc6"}) {
        EXPECT_NE(depends.find(library), std::string::npos) << library;
    }
    // What vellomirke-capture runs, which the rest of the package does without.
    EXPECT_EQ(runTool({"dpkg-deb", "--field", VELLOMIRKE_DEB, "Recommends"}), "ffmpeg, xvfb\n");

    runTool({"dpkg-deb", "--extract", VELLOMIRKE_DEB, dir.path()});
    // The author's companion ships beside the demo.
    EXPECT_TRUE(fs::is_regular_file(dir.file("usr/bin/vellomirke-live")));
    // The sample piece where the program looks for it: its working directory.
    for (const char* file : {"vertex.glsl", "fragment.glsl", "audio.mp3"}) {
        fs::copy_file(dir.file(std::string("usr/share/vellomirke-demo/") + file), dir.file(file));
    }
    run.startAndShow({dir.file("usr/bin/vellomirke-demo")});
    // The sample's first section is never plain black.
    auto drawn = [](const Image& i) { return i.width == 1920 && !near(i.at(960, 540), {0, 0, 0}); };
    EXPECT_TRUE(drawn(run.waitForPicture(drawn)));
    run.hold({"Escape"}, 1);
    EXPECT_EQ(run.waitForExit(), 0);
    EXPECT_EQ(run.output(), "");
}
