// The Windows program from the release zip, run under Wine on one Xvfb with
// Mesa, its sound going through Wine's media player to a private PulseAudio
// server's null sink.
#include "AudioTestSupport.h"
#include "Messages.h"
#include "Pictures.h"
#include "RunTool.h"
#include "WinePrefix.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

using namespace std::chrono_literals;
using namespace testsupport;
using namespace audiotest;

namespace {

// One X server, one Wine prefix and one unpacked zip for the whole binary:
// the prefix's desktop process stays on the display it started on.
struct WindowsPackage : ::testing::Environment {
    void SetUp() override {
        server = std::make_unique<XvfbServer>();
        prefix = std::make_unique<windowstest::WinePrefix>(server->display());
        unpacked = std::make_unique<TempDir>();
        ProcessOptions inUnpacked;
        inUnpacked.workingDirectory = unpacked->path();
        runTool({VELLOMIRKE_CMAKE, "-E", "tar", "xf", VELLOMIRKE_WINDOWS_ZIP}, 60s, inUnpacked);
        // Double-clicking the program plays the sample piece beside it.
        for (const char* file : {"vellomirke-demo.exe", "vertex.glsl", "fragment.glsl", "audio.mp3",
                                 "README.txt", "LICENSE.txt"}) {
            ASSERT_TRUE(std::filesystem::is_regular_file(path(file))) << file << " not in the zip";
        }
    }
    void TearDown() override {
        unpacked.reset();
        prefix.reset();
        server.reset();
    }
    std::string path(const std::string& name) const {
        return unpacked->file(VELLOMIRKE_WINDOWS_FOLDER "/" + name);
    }
    std::unique_ptr<XvfbServer> server;
    std::unique_ptr<windowstest::WinePrefix> prefix;
    std::unique_ptr<TempDir> unpacked;
};
auto* package =
    static_cast<WindowsPackage*>(::testing::AddGlobalTestEnvironment(new WindowsPackage));

// The packaged program in a directory of its own, with what it plays
// recorded from the null sink's monitor.
struct WineRun : ListenedRun {
    WineRun() : ListenedRun(package->server->display()) {}

    // `wineDebug` selects Wine's traces on the program's standard error.
    void start(const std::string& wineDebug = "-all") {
        for (const auto& [name, value] : package->prefix->environment()) {
            run.environment()[name] = value;
        }
        run.environment()["WINEDEBUG"] = wineDebug;
        run.start({"wine", package->path("vellomirke-demo.exe")});
    }

    // Escape, held until the program has ended; its exit status.
    std::optional<int> escape() {
        run.press({"Escape"});
        auto status = run.waitForExit();
        run.release({"Escape"});
        return status;
    }
};

bool showsProbe(const Image& image) {
    return showsPositions(image);
}

} // namespace

// What a user sees and hears in one run: the full-screen picture following
// the time, the looping soundtrack, Space and Escape (while the music plays),
// and the media commands in Wine's trace.
TEST(WindowsProgram, PictureSoundtrackAndKeys) {
    WineRun wine;
    DemoRun& run = wine.run;
    run.useShaders("position-and-time.frag");
    writeTwoToneTrack(run.dir(), "audio.mp3");
    wine.start("+mci");
    run.waitForFirstFrame(90s);

    Image first = run.waitForPicture(showsProbe);
    ASSERT_TRUE(showsProbe(first)) << "no full-screen picture of the probe shader";
    const double t = encodedTime(first);
    Image later = run.waitForPicture([&](const Image& i) { return encodedTime(i) > t + 1.0; });
    EXPECT_GT(encodedTime(later), t + 1.0) << "the picture does not follow timeValue";

    // The high tone that ends the track, then the low one that starts it:
    // the track came round again. (Wine's player may clip the very start.)
    ASSERT_TRUE(wine.waitToHear({highTone, lowTone}, 40s)) << wine.heard();

    run.dir().copyTestFile("solid-green.frag", "fragment.glsl");
    run.hold({"space"}, 2);
    auto green = [](const Image& i) { return near(i.at(960, 540), {0, 255, 0}); };
    EXPECT_TRUE(green(run.waitForPicture(green))) << "Space did not rebuild";

    EXPECT_EQ(wine.escape(), 0);
    EXPECT_EQ(run.output(), "");

    // The two commands exactly, in order; the device is closed at exit.
    static const std::regex call(R"(mciSendStringW \(L"((?:[^"\\]|\\.)*)\")");
    const std::string trace = run.errors();
    std::vector<std::string> commands;
    for (std::sregex_iterator it(trace.begin(), trace.end(), call), end; it != end; ++it) {
        commands.push_back(std::regex_replace((*it)[1].str(), std::regex(R"(\\")"), "\""));
    }
    EXPECT_EQ(commands, (std::vector<std::string>{"open \"audio.mp3\" type mpegvideo alias mp3",
                                                  "play mp3 repeat", "close mp3"}));
}

// The thirty seconds end while the music plays; a missing vertex shader is
// reported in the Linux program's words, with Windows's CR LF line ends.
TEST(WindowsProgram, MissingShaderMessagesAndTheEndOfTheThirtySeconds) {
    std::string expected;
    {
        DemoRun linuxRun(package->server->display());
        linuxRun.dir().copyTestFile("position-and-time.frag", "fragment.glsl");
        linuxRun.startAndShow();
        ASSERT_EQ(linuxRun.close(), 0);
        expected = linuxRun.output();
    }
    ASSERT_EQ(expected.rfind(readFailed + compileFailed + "vertex\n", 0), 0u) << expected;

    WineRun wine;
    wine.run.dir().copyTestFile("position-and-time.frag", "fragment.glsl");
    writeTwoToneTrack(wine.run.dir(), "audio.mp3");
    wine.start();
    EXPECT_EQ(wine.run.waitForExit(120s), 0);
    std::string output = wine.run.output();
    EXPECT_EQ(occurrences(output, "\r\n"), occurrences(output, "\n")) << output;
    output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
    EXPECT_EQ(output, expected);
    // The two-second track looped through most of the run, so it was still
    // playing at the end. Wine's player may drop a little under load: a third
    // of a second of a tone is still more than a glitch could make.
    const std::vector<double> tones = wine.tones(0.3);
    EXPECT_GE(std::count(tones.begin(), tones.end(), lowTone), 8) << wine.heard();
}

// Without a soundtrack, or with one that is not audio, the program runs
// silently and ends normally.
TEST(WindowsProgram, SilentWithoutAPlayableSoundtrack) {
    for (const char* soundtrack : {"", "this is not an MP3 file\n"}) {
        SCOPED_TRACE(*soundtrack ? "damaged audio.mp3" : "no audio.mp3");
        WineRun wine;
        wine.run.useShaders("position-and-time.frag");
        if (*soundtrack) {
            wine.run.dir().write("audio.mp3", soundtrack);
        }
        wine.start();
        wine.run.waitForFirstFrame(90s);
        EXPECT_TRUE(showsProbe(wine.run.waitForPicture(showsProbe)));
        EXPECT_EQ(wine.listen(3.0).size(), std::size_t(3 * deviceRate));
        EXPECT_EQ(wine.escape(), 0);
        EXPECT_EQ(wine.run.output(), "");
        EXPECT_FALSE(firstAudibleFrame(readStereoAsMono(wine.recording))) << "something was heard";
    }
}
