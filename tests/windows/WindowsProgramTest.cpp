// The Windows program from the release zip, run under Wine on a private Xvfb
// with Mesa, its sound going to a private PulseAudio server through Wine's
// media player (quartz with GStreamer behind it).
#include "AudioTestSupport.h"
#include "DemoProcess.h"
#include "Messages.h"
#include "Pictures.h"
#include "PulseServer.h"
#include "TestTrack.h"
#include "ToneAnalysis.h"
#include "WinePrefix.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <regex>

using namespace std::chrono_literals;
using namespace testsupport;
using namespace audiotest;

namespace {

// One X server, one Wine prefix and one unpacked zip for the whole binary:
// the prefix's desktop process stays connected to the display it started on.
struct WindowsPackage : ::testing::Environment {
    void SetUp() override {
        server = std::make_unique<XvfbServer>();
        prefix = std::make_unique<windowstest::WinePrefix>(server->display());
        unpacked = std::make_unique<TempDir>();
        windowstest::runToEnd({VELLOMIRKE_CMAKE, "-E", "tar", "xf", VELLOMIRKE_WINDOWS_ZIP}, {},
                              unpacked->path(), 60);
        program = unpacked->file(VELLOMIRKE_WINDOWS_FOLDER "/vellomirke-demo.exe");
    }
    void TearDown() override {
        unpacked.reset();
        prefix.reset();
        server.reset();
    }
    std::unique_ptr<XvfbServer> server;
    std::unique_ptr<windowstest::WinePrefix> prefix;
    std::unique_ptr<TempDir> unpacked;
    std::string program;
};
WindowsPackage* package =
    static_cast<WindowsPackage*>(::testing::AddGlobalTestEnvironment(new WindowsPackage));

const std::string& display() {
    return package->server->display();
}

// The packaged program in `dir` on the shared display, its sound to `pulse`;
// `wineDebug` selects Wine's traces on its standard error.
std::unique_ptr<DemoProcess> startUnderWine(const TempDir& dir, const PulseServer& pulse,
                                            const std::string& wineDebug = "-all") {
    Environment environment = package->prefix->environment();
    for (const auto& [name, value] : pulse.clientEnvironment()) {
        environment[name] = value;
    }
    environment["WINEDEBUG"] = wineDebug;
    return std::make_unique<DemoProcess>(display(), dir, environment,
                                         std::vector<std::string>{"wine", package->program});
}

// The tones heard on the monitor in their order, each long enough that only
// the track can account for it; silence and noise left out.
std::vector<double> tonesHeard(const std::string& recording) {
    std::vector<double> tones;
    for (const ToneSpan& span :
         noticeableSpans(toneSpans(readStereoAsMono(recording), deviceRate, {lowTone, highTone}),
                         static_cast<std::size_t>(0.8 * toneSeconds * deviceRate))) {
        if (span.frequency > 0) {
            tones.push_back(span.frequency);
        }
    }
    return tones;
}

std::string describe(const std::vector<double>& tones) {
    std::string text = std::to_string(tones.size()) + " tones:";
    for (double tone : tones) {
        text += " " + std::to_string(static_cast<int>(tone));
    }
    return text;
}

// The command strings of every mciSendString call in a +mci trace, in order.
std::vector<std::string> mediaCommands(const std::string& trace) {
    static const std::regex call(R"(mciSendStringW \(L"((?:[^"\\]|\\.)*)\")");
    std::vector<std::string> commands;
    for (std::sregex_iterator it(trace.begin(), trace.end(), call), end; it != end; ++it) {
        commands.push_back(std::regex_replace((*it)[1].str(), std::regex(R"(\\")"), "\""));
    }
    return commands;
}

std::string withoutCarriageReturns(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

} // namespace

// One run through everything a user sees and hears: the full-screen picture
// following the time, the looping soundtrack, Space and Escape, and the
// media commands in Wine's trace. Escape comes while the music plays.
TEST(WindowsProgram, PictureSoundtrackAndKeys) {
    TempDir dir;
    dir.copyTestFile("vertex.glsl", "vertex.glsl");
    dir.copyTestFile("position-and-time.frag", "fragment.glsl");
    writeTwoToneTrack(dir, "audio.mp3");
    PulseServer pulse(dir);
    const std::string recording = dir.file("monitor.raw");
    MonitorRecorder recorder(pulse, recording);
    auto demo = startUnderWine(dir, pulse, "+mci");
    XClient x(display());
    XWindow window = demo->waitForWindow(x, 90s);

    Image first = waitForPicture(
        x, window, [](const Image& i) { return showsPositions(i); }, 30s);
    if (!showsPositions(first)) {
        savePpm(first, "windows-picture.ppm");
        FAIL() << "no full-screen picture of the probe shader; see windows-picture.ppm";
    }
    const double firstTime = encodedTime(first);
    Image later = waitForPicture(
        x, window, [&](const Image& i) { return encodedTime(i) > firstTime + 1.0; }, 30s);
    EXPECT_GT(encodedTime(later), firstTime + 1.0) << "the picture does not follow timeValue";

    // The high tone that ends the track, then the low one that starts it:
    // the track came round again. (Wine's player may clip the very start.)
    std::vector<double> tones;
    const std::vector<double> wrap = {highTone, lowTone};
    bool looped = waitUntil(40s, [&] {
        tones = tonesHeard(recording);
        return std::search(tones.begin(), tones.end(), wrap.begin(), wrap.end()) != tones.end();
    });
    EXPECT_TRUE(looped) << describe(tones);

    dir.copyTestFile("solid-green.frag", "fragment.glsl");
    x.holdKey("space", 200ms);
    Image green = waitForPicture(
        x, window,
        [](const Image& i) {
            return near(i.at(960, 540), {0, 255, 0});
        },
        30s);
    EXPECT_TRUE(near(green.at(960, 540), {0, 255, 0}))
        << "Space did not rebuild from disk: " << describe(green.at(960, 540));

    x.holdKey("Escape", 200ms);
    auto status = demo->waitForExit(60s);
    ASSERT_TRUE(status) << "Escape did not end the program";
    EXPECT_EQ(*status, 0) << "ended while the music played";
    EXPECT_EQ(demo->output(), "");

    // Exactly the two commands, in order; the device is closed only at exit.
    const std::vector<std::string> expected = {"open \"audio.mp3\" type mpegvideo alias mp3",
                                               "play mp3 repeat", "close mp3"};
    EXPECT_EQ(mediaCommands(demo->errors()), expected);
}

// The thirty seconds end while the music plays; a missing vertex shader is
// reported with the program's own messages, the same as on Linux apart from
// Windows's CR LF line ends.
TEST(WindowsProgram, MissingShaderMessagesAndTheEndOfTheThirtySeconds) {
    TempDir dir;
    dir.copyTestFile("position-and-time.frag", "fragment.glsl");
    writeTwoToneTrack(dir, "audio.mp3");

    // The Linux program's words for the same files and the same driver.
    std::string linuxOutput;
    {
        DemoProcess demo(display(), dir);
        XClient x(display());
        x.sendCloseRequest(demo.waitForWindow(x));
        ASSERT_EQ(demo.waitForExit(30s), 0);
        linuxOutput = demo.output();
    }
    ASSERT_EQ(linuxOutput.rfind(readFailed + compileFailed + "vertex\n", 0), 0u) << linuxOutput;

    PulseServer pulse(dir);
    const std::string recording = dir.file("monitor.raw");
    MonitorRecorder recorder(pulse, recording);
    auto demo = startUnderWine(dir, pulse);
    auto status = demo->waitForExit(120s);
    ASSERT_TRUE(status) << "the program did not end by itself";
    EXPECT_EQ(*status, 0);

    const std::string output = demo->output();
    EXPECT_EQ(occurrences(output, "\r\n"), occurrences(output, "\n")) << output;
    EXPECT_EQ(withoutCarriageReturns(output), linuxOutput);
    // The two-second track looped through most of the run, so it was
    // playing when the program ended.
    const std::vector<double> tones = tonesHeard(recording);
    EXPECT_GE(std::count(tones.begin(), tones.end(), lowTone), 8) << describe(tones);
}

// Without a soundtrack, or with one that is not audio, the program runs
// silently and ends normally.
TEST(WindowsProgram, SilentWithoutAPlayableSoundtrack) {
    for (const char* soundtrack : {"", "this is not an MP3 file\n"}) {
        SCOPED_TRACE(*soundtrack ? "damaged audio.mp3" : "no audio.mp3");
        TempDir dir;
        dir.copyTestFile("vertex.glsl", "vertex.glsl");
        dir.copyTestFile("position-and-time.frag", "fragment.glsl");
        if (*soundtrack) {
            dir.write("audio.mp3", soundtrack);
        }
        PulseServer pulse(dir);
        const std::string recording = dir.file("monitor.raw");
        MonitorRecorder recorder(pulse, recording);
        auto demo = startUnderWine(dir, pulse);
        XClient x(display());
        XWindow window = demo->waitForWindow(x, 90s);
        Image picture = waitForPicture(
            x, window, [](const Image& i) { return showsPositions(i); }, 30s);
        if (!showsPositions(picture)) {
            savePpm(picture, "windows-silent-run.ppm");
            ADD_FAILURE() << "no probe picture; see windows-silent-run.ppm, stdout: "
                          << demo->output();
        }
        // Three seconds of the monitor with the program running.
        const std::size_t start = frameCount(recording);
        waitUntil(20s, [&] { return frameCount(recording) >= start + 3 * deviceRate; });
        x.holdKey("Escape", 200ms);
        auto status = demo->waitForExit(60s);
        ASSERT_TRUE(status);
        EXPECT_EQ(*status, 0);
        EXPECT_EQ(demo->output(), "");
        auto samples = readStereoAsMono(recording);
        EXPECT_GE(samples.size(), start + 3 * deviceRate);
        EXPECT_FALSE(firstAudibleFrame(samples)) << "something was heard";
    }
}
