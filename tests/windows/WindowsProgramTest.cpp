// The Windows program from the release zip, run under Wine on one Xvfb with
// Mesa, its sound going through Wine's media player to a private PulseAudio
// server's null sink.
#include "AudioTestSupport.h"
#include "DemoProcess.h"
#include "Messages.h"
#include "Pictures.h"
#include "TestTrack.h"
#include "ToneAnalysis.h"
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
        windowstest::runToEnd({VELLOMIRKE_CMAKE, "-E", "tar", "xf", VELLOMIRKE_WINDOWS_ZIP}, {},
                              unpacked->path(), 60);
        // Double-clicking the program plays the sample piece beside it.
        for (const char* file :
             {"vellomirke-demo.exe", "vertex.glsl", "fragment.glsl", "audio.mp3", "README.txt"}) {
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
struct WineRun {
    TempDir dir;
    PulseServer pulse{dir};
    MonitorRecorder recorder{pulse, dir.file("monitor.raw")};
    std::unique_ptr<DemoProcess> demo;
    XClient x{package->server->display()};

    // `wineDebug` selects Wine's traces on the program's standard error.
    void start(const std::string& wineDebug = "-all") {
        Environment environment = package->prefix->environment();
        for (const auto& [name, value] : pulse.clientEnvironment()) {
            environment[name] = value;
        }
        environment["WINEDEBUG"] = wineDebug;
        demo = std::make_unique<DemoProcess>(
            package->server->display(), dir, environment,
            std::vector<std::string>{"wine", package->path("vellomirke-demo.exe")});
    }

    // The tones heard in their order, each long enough that only the track
    // can account for it.
    std::vector<double> tones() const {
        std::vector<double> heard;
        for (const ToneSpan& span :
             noticeableSpans(toneSpans(readStereoAsMono(dir.file("monitor.raw")), deviceRate,
                                       {lowTone, highTone}),
                             static_cast<std::size_t>(0.8 * toneSeconds * deviceRate))) {
            if (span.frequency > 0) {
                heard.push_back(span.frequency);
            }
        }
        return heard;
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
    WineRun run;
    run.dir.copyTestFile("vertex.glsl", "vertex.glsl");
    run.dir.copyTestFile("position-and-time.frag", "fragment.glsl");
    writeTwoToneTrack(run.dir, "audio.mp3");
    run.start("+mci");
    XWindow window = run.demo->waitForWindow(run.x, 90s);

    Image first = waitForPicture(run.x, window, showsProbe, 30s);
    ASSERT_TRUE(showsProbe(first)) << "no full-screen picture of the probe shader";
    const double t = encodedTime(first);
    Image later = waitForPicture(
        run.x, window, [&](const Image& i) { return encodedTime(i) > t + 1.0; }, 30s);
    EXPECT_GT(encodedTime(later), t + 1.0) << "the picture does not follow timeValue";

    // The high tone that ends the track, then the low one that starts it:
    // the track came round again. (Wine's player may clip the very start.)
    const std::vector<double> wrap = {highTone, lowTone};
    std::vector<double> tones;
    ASSERT_TRUE(waitUntil(40s,
                          [&] {
                              tones = run.tones();
                              return std::search(tones.begin(), tones.end(), wrap.begin(),
                                                 wrap.end()) != tones.end();
                          }))
        << tones.size() << " tones heard";

    run.dir.copyTestFile("solid-green.frag", "fragment.glsl");
    run.x.holdKey("space", 200ms);
    auto green = [](const Image& i) { return near(i.at(960, 540), {0, 255, 0}); };
    EXPECT_TRUE(green(waitForPicture(run.x, window, green, 30s))) << "Space did not rebuild";

    run.x.holdKey("Escape", 200ms);
    EXPECT_EQ(run.demo->waitForExit(60s), 0);
    EXPECT_EQ(run.demo->output(), "");

    // The two commands exactly, in order; the device is closed at exit.
    static const std::regex call(R"(mciSendStringW \(L"((?:[^"\\]|\\.)*)\")");
    const std::string trace = run.demo->errors();
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
    WineRun run;
    run.dir.copyTestFile("position-and-time.frag", "fragment.glsl");
    writeTwoToneTrack(run.dir, "audio.mp3");
    std::string expected;
    {
        DemoProcess linuxDemo(package->server->display(), run.dir);
        run.x.sendCloseRequest(linuxDemo.waitForWindow(run.x));
        ASSERT_EQ(linuxDemo.waitForExit(30s), 0);
        expected = linuxDemo.output();
    }
    ASSERT_EQ(expected.rfind(readFailed + compileFailed + "vertex\n", 0), 0u) << expected;

    run.start();
    EXPECT_EQ(run.demo->waitForExit(120s), 0);
    std::string output = run.demo->output();
    EXPECT_EQ(occurrences(output, "\r\n"), occurrences(output, "\n")) << output;
    output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
    EXPECT_EQ(output, expected);
    // The two-second track looped through most of the run, so it was still
    // playing at the end.
    const std::vector<double> tones = run.tones();
    EXPECT_GE(std::count(tones.begin(), tones.end(), lowTone), 8) << tones.size() << " tones";
}

// Without a soundtrack, or with one that is not audio, the program runs
// silently and ends normally.
TEST(WindowsProgram, SilentWithoutAPlayableSoundtrack) {
    for (const char* soundtrack : {"", "this is not an MP3 file\n"}) {
        SCOPED_TRACE(*soundtrack ? "damaged audio.mp3" : "no audio.mp3");
        WineRun run;
        run.dir.copyTestFile("vertex.glsl", "vertex.glsl");
        run.dir.copyTestFile("position-and-time.frag", "fragment.glsl");
        if (*soundtrack) {
            run.dir.write("audio.mp3", soundtrack);
        }
        run.start();
        XWindow window = run.demo->waitForWindow(run.x, 90s);
        EXPECT_TRUE(showsProbe(waitForPicture(run.x, window, showsProbe, 30s)));
        // Three seconds of the monitor while the program runs.
        const std::string recording = run.dir.file("monitor.raw");
        const std::size_t start = frameCount(recording), enough = start + 3 * deviceRate;
        EXPECT_TRUE(waitUntil(20s, [&] { return frameCount(recording) >= enough; }));
        run.x.holdKey("Escape", 200ms);
        EXPECT_EQ(run.demo->waitForExit(60s), 0);
        EXPECT_EQ(run.demo->output(), "");
        EXPECT_FALSE(firstAudibleFrame(readStereoAsMono(recording))) << "something was heard";
    }
}
