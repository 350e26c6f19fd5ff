// The Windows programs from the release zip, run under Wine on one Xvfb with
// Mesa, its sound going through Wine's media player to a private PulseAudio
// server's null sink.
#include "AudioTestSupport.h"
#include "BeatTrack.h"
#include "LiveCommands.h"
#include "Messages.h"
#include "Pictures.h"
#include "PngPicture.h"
#include "RunTool.h"
#include "ToneTrack.h"
#include "WineRun.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <regex>

using namespace std::chrono_literals;
using namespace testsupport;
using namespace audiotest;
using windowstest::package;
using windowstest::WineRun;

namespace {

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

    // The two commands exactly, in order; the device is closed at exit where
    // the player needs it (up to Wine 9), and left to the process's end after.
    static const std::regex call(R"(mciSendStringW \(L"((?:[^"\\]|\\.)*)\")");
    const std::string trace = run.errors();
    std::vector<std::string> commands;
    for (std::sregex_iterator it(trace.begin(), trace.end(), call), end; it != end; ++it) {
        commands.push_back(std::regex_replace((*it)[1].str(), std::regex(R"(\\")"), "\""));
    }
    std::vector<std::string> expected{"open \"audio.mp3\" type mpegvideo alias mp3",
                                      "play mp3 repeat"};
    if (windowstest::WinePrefix::wineMajorVersion() < 10) {
        expected.push_back("close mp3");
    }
    EXPECT_EQ(commands, expected);
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

// What a party asks of an entry: no cursor over the picture, and Alt-F4
// (a window close on Windows) ends it at once, quietly, with status 0.
TEST(WindowsProgram, HidesTheCursorAndEndsAtOnceOnAltF4) {
    WineRun wine;
    DemoRun& run = wine.run;
    run.useShaders("position-and-time.frag");
    wine.start();
    run.waitForFirstFrame(90s);
    EXPECT_EQ(run.visibleCursorAfterPointerMoves(), 0) << "the cursor shows over the picture";

    const auto pressed = std::chrono::steady_clock::now();
    run.press({"Alt_L", "F4"});
    const std::optional<int> status = run.waitForExit();
    const auto took = std::chrono::steady_clock::now() - pressed;
    run.release({"F4", "Alt_L"});
    EXPECT_EQ(status, 0);
    // At once: under the 2 s that Wine's X11 driver waits for a window
    // manager where the prefix leaves the window managed (0.3 s to 1.1 s
    // measured on a busy machine), far under the piece's end.
    EXPECT_LT(took, 1900ms) << std::chrono::duration<double>(took).count() << " s after Alt-F4";
    EXPECT_EQ(run.output(), "");
}

namespace {

bool isRed(const Rgb& c) {
    return near(c, {255, 0, 0});
}

bool isGreen(const Image& i) {
    return near(centre(i), {0, 255, 0});
}

bool showsScaledProbe(const Image& i) {
    return i.width == 1280 && i.height == 720 && showsScaledPositions(i, 0, 1280, 720);
}

// Every line of `text` that holds `part` ends with CR LF.
bool linesEndInCrLf(const std::string& text, const std::string& part) {
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos || text[end - 1] != '\r') {
            return false;
        }
    }
    return true;
}

} // namespace

// The author's loop on Windows: the probe scaled into the window, saves by
// rename picked up with no key, a broken save reported once in the red frame,
// and how long a save takes to reach the screen.
TEST(WindowsLive, ShowsThePieceScaledAndRebuildsOnEverySave) {
    WineRun wine;
    DemoRun& run = wine.run;
    run.useShaders("position-and-time.frag");
    wine.startLive();
    Image probe = run.waitForPicture(showsScaledProbe, 60s);
    ASSERT_TRUE(showsScaledProbe(probe))
        << probe.width << "x" << probe.height << ", left " << describe(probe.at(0, 360))
        << ", right " << describe(probe.at(1279, 360));
    EXPECT_GT(run.visibleCursorAfterPointerMoves(), 0) << "no cursor over the window";

    EXPECT_TRUE(linesEndInCrLf(expectBrokenSaveInARedFrame(run), "fragment.glsl:6:"))
        << run.errors();

    // Ten saves by rename, each shown with no key pressed; the first mends
    // the piece and the frame goes.
    const std::string green = readFile(testDataPath("solid-green.frag"));
    const std::string probeText = readFile(testDataPath("position-and-time.frag"));
    timeTenSaves(
        run, "save to new picture under Wine", green, probeText, [](const Image& i, int round) {
            return !isRed(i.at(0, 0)) && (round % 2 == 0 ? isGreen(i) : showsScaledProbe(i));
        });
    if (HasFatalFailure()) {
        return;
    }

    tap(run, "Escape");
    EXPECT_EQ(run.waitForExit(), std::optional<int>(0)) << run.errors();
}

// Full screen, as a piece is shown: no cursor over the picture.
TEST(WindowsLive, FullScreenHidesTheCursor) {
    WineRun wine;
    DemoRun& run = wine.run;
    run.useShaders("position-and-time.frag");
    wine.startLive({"--fullscreen"});
    EXPECT_EQ(run.visibleCursorAfterPointerMoves(), 0) << "the cursor shows over the picture";
    EXPECT_EQ(wine.escape(), std::optional<int>(0)) << run.errors();
}

// The music follows the piece's time through the media commands: a seek
// while paused is heard from its time on resuming, the track comes round
// again from its start, and P silences it. F12 saves the paused picture.
TEST(WindowsLive, TheMusicFollowsSeeksPausesAndLoopsAndF12SavesThePicture) {
    WineRun wine;
    DemoRun& run = wine.run;
    run.useShaders("position-and-time.frag");
    // One tone a second: where the music is can be told by ear.
    const std::vector<double> tones = {440.0, 550.0, 660.0, 880.0};
    writeTones(run.dir(), "audio.mp3", {{440.0, 1}, {550.0, 1}, {660.0, 1}, {880.0, 1}});
    // Wine 10's media player stays silent after a play from anywhere but the
    // start of an MP3 (Wine 8's plays it, as Windows does): there the media
    // commands that Wine's trace shows are held instead of what is heard.
    const bool seeksAreHeard = windowstest::WinePrefix::wineMajorVersion() < 10;
    wine.startLive({}, seeksAreHeard ? "-all" : "+mci");

    // Paused, back to 0 and two seconds on, as the picture shows it; each
    // seek waits for the last.
    tap(run, "p");
    tap(run, "Home");
    for (double second : {1.0, 2.0}) {
        tap(run, "Right");
        Image shown = run.waitForPicture(
            [&](const Image& i) { return std::abs(encodedTime(i) - second) < 0.07; });
        ASSERT_NEAR(encodedTime(shown), second, 0.07) << run.errors();
    }
    EXPECT_FALSE(firstAudibleFrame(wine.listen(1.0))) << "heard while paused";

    tap(run, "F12");
    // The whole line, its ending included: the text and the ending may come
    // in two writes.
    ASSERT_TRUE(waitUntil([&] {
        const std::string errors = run.errors();
        const std::size_t at = errors.find("saved ./shot-02.00.png");
        return at != std::string::npos && errors.find('\n', at) != std::string::npos;
    })) << run.errors();
    EXPECT_TRUE(linesEndInCrLf(run.errors(), "saved ")) << run.errors();
    const Image shot = decodePng(readFile(run.dir().file("shot-02.00.png")));
    EXPECT_TRUE(showsPositions(shot))
        << shot.width << "x" << shot.height << ", top left " << describe(shot.at(0, 0));
    EXPECT_EQ(shot.at(960, 540).b, channel(2.0 / 32.0));

    // 2 s into the track: its third and fourth tones, then its start again.
    tap(run, "p");
    if (!seeksAreHeard) {
        // The places of the plays, in milliseconds: 2 s, then the start.
        const auto playedFrom = [&] {
            std::vector<long> places;
            const std::string trace = run.errors(), play = "(L\"play music from ";
            for (auto at = trace.find(play); at != std::string::npos;
                 at = trace.find(play, at + 1)) {
                places.push_back(std::atol(trace.c_str() + at + play.size()));
            }
            return places;
        };
        EXPECT_TRUE(waitUntil([&] {
            const std::vector<long> places = playedFrom();
            return places.size() >= 2 && std::abs(places[places.size() - 2] - 2000) < 100 &&
                   places.back() < 100;
        })) << "no play from 2 s, then from the start, in Wine's trace:\n"
            << run.errors();
        tap(run, "Escape");
        EXPECT_EQ(run.waitForExit(), std::optional<int>(0));
        return;
    }
    const std::vector<float> heard = wine.listen(4.5);
    const auto spans = spansOfTones(heard, tones, 0.3);
    const std::string what = describe(spans);
    std::vector<double> order;
    for (const ToneSpan& span : spans) {
        if (span.frequency > 0.0) {
            order.push_back(span.frequency);
        }
    }
    ASSERT_GE(order.size(), 3u) << what;
    EXPECT_EQ(std::vector<double>(order.begin(), order.begin() + 3),
              (std::vector<double>{660.0, 880.0, 440.0}))
        << what;

    tap(run, "p");
    wine.listen(0.5); // what was on its way to the sink
    EXPECT_FALSE(firstAudibleFrame(wine.listen(1.0))) << "heard after P";

    tap(run, "Escape");
    EXPECT_EQ(run.waitForExit(), std::optional<int>(0)) << run.errors();
}

namespace {

// Where two texts first differ, for a failure message that does not print
// a whole page.
std::string firstDifference(const std::string& a, const std::string& b) {
    const auto at = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    const std::size_t offset = at.first - a.begin();
    return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) +
           ", first difference at byte " + std::to_string(offset) + ": \"" + a.substr(offset, 40) +
           "\" against \"" + b.substr(offset, 40) + "\"";
}

// `text` with each CR LF made LF, when every line ends with CR LF.
std::string fromCrLf(std::string text) {
    EXPECT_EQ(occurrences(text, "\r\n"), occurrences(text, "\n")) << text;
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

} // namespace

// --export-web does on Windows what it does on Linux: the zip's sample piece,
// soundtrack and all, becomes the same page byte for byte, and a piece that
// GLSL ES refuses is refused in the same words, in lines ending with CR LF.
// --check tells the same on both systems: the zip's sample piece is ready
// (its track measured by the media-command interface instead of SDL2_mixer),
// and what glslang refuses is named at the author's line.
TEST(WindowsLive, ChecksAPieceAsTheLinuxProgramDoes) {
    TempDir scratch;
    std::string linuxErrors, linuxOutput;
    ASSERT_EQ(runLiveCommand({"--check", package->folder()}, scratch, linuxErrors, linuxOutput, {}),
              0)
        << linuxOutput << linuxErrors;
    std::string windowsOutput;
    {
        WineRun wine;
        std::string errors;
        EXPECT_EQ(wine.liveCommand({"--check", package->folder()}, errors), 0)
            << wine.run.output() << errors;
        windowsOutput = wine.run.output();
    }
    EXPECT_EQ(occurrences(windowsOutput, "\r\n"), occurrences(windowsOutput, "\n"));
    const std::string player = "decoded by SDL2_mixer";
    std::string expected = linuxOutput;
    ASSERT_NE(expected.find(player), std::string::npos) << expected;
    expected.replace(expected.find(player), player.size(),
                     "decoded by the media-command interface");
    EXPECT_EQ(fromCrLf(windowsOutput), expected);

    TempDir refused;
    refused.copyTestFile("vertex.glsl", "vertex.glsl");
    refused.write("fragment.glsl", "#version 330 core\nout vec4 color;\nvoid main() {\n"
                                   "    float a = 1.0 \\\n;\n    color = vec4(a);\n}\n");
    WineRun wine;
    std::string errors;
    EXPECT_EQ(wine.liveCommand({"--check", refused.path()}, errors), 1) << errors;
    EXPECT_NE(wine.run.output().find("fragment.glsl:4: error: 'line continuation'"),
              std::string::npos)
        << wine.run.output();
}

TEST(WindowsLive, ExportsTheSamePageAsTheLinuxProgram) {
    TempDir out;
    std::string linuxErrors, windowsErrors;
    ASSERT_EQ(runLiveCommand({"--export-web", "--out", out.file("piece.html"), package->folder()},
                             out, linuxErrors),
              0)
        << linuxErrors;
    const std::string linuxPage = readFile(out.file("piece.html"));
    ASSERT_EQ(linuxErrors, "vellomirke-live: wrote " + out.file("piece.html") + "\n");
    {
        WineRun wine;
        EXPECT_EQ(
            wine.liveCommand({"--export-web", "--out", out.file("windows.html"), package->folder()},
                             windowsErrors),
            0)
            << windowsErrors;
    }
    const std::string windowsPage = readFile(out.file("windows.html"));
    EXPECT_TRUE(windowsPage == linuxPage) << firstDifference(windowsPage, linuxPage);
    EXPECT_EQ(fromCrLf(windowsErrors), "vellomirke-live: wrote " + out.file("windows.html") + "\n");

    TempDir refused;
    refused.copyTestFile("vertex.glsl", "vertex.glsl");
    refused.copyTestFile("int-to-float.frag", "fragment.glsl");
    const std::vector<std::string> args = {"--export-web", "--out", refused.file("piece.html"),
                                           refused.path()};
    ASSERT_EQ(runLiveCommand(args, out, linuxErrors), 1) << linuxErrors;
    ASSERT_EQ(occurrences(linuxErrors, "fragment.glsl:7: error: "), 1) << linuxErrors;
    {
        WineRun wine;
        EXPECT_EQ(wine.liveCommand(args, windowsErrors), 1) << windowsErrors;
    }
    EXPECT_EQ(fromCrLf(windowsErrors), linuxErrors);
    EXPECT_FALSE(std::filesystem::exists(refused.file("piece.html")));
}

// The timeline under Wine: in a made track, the tempo and first downbeat
// that the Linux program finds (Media Foundation decodes it there, libmpg123
// here), and a click on the strip that moves the piece there.
TEST(WindowsLive, TheTimelineFindsTheLinuxProgramsTempoAndAClickSeeks) {
    WineRun wine;
    DemoRun& run = wine.run;
    run.useShaders("position-and-time.frag");
    writeBeatTrack(run.dir(), "audio.mp3", {128.0, 0.35, false});
    TempDir scratch;
    std::string linuxErrors, linuxOutput, errors;
    runLiveCommand({"--check", run.dir().path()}, scratch, linuxErrors, linuxOutput, {});
    std::string windowsOutput;
    {
        WineRun check;
        check.liveCommand({"--check", run.dir().path()}, errors);
        windowsOutput = check.run.output();
    }
    const std::optional<FoundTempo> onLinux = tempoIn(linuxOutput),
                                    onWindows = tempoIn(windowsOutput);
    ASSERT_TRUE(onLinux && onWindows) << linuxOutput << windowsOutput;
    std::cout << "Linux: " << onLinux->bpm << " BPM from " << onLinux->firstDownbeat
              << " s; Windows: " << onWindows->bpm << " BPM from " << onWindows->firstDownbeat
              << " s\n";
    EXPECT_NEAR(onWindows->bpm, onLinux->bpm, 0.1);
    EXPECT_NEAR(onWindows->firstDownbeat, onLinux->firstDownbeat, 0.03);

    const XWindow window = wine.startLive({}, "-all", true);
    auto title = [&] { return run.x().title(window); };
    ASSERT_TRUE(waitUntil([&] { return title().find("128 BPM") != std::string::npos; }, 60s))
        << title();
    tap(run, "p");
    ASSERT_TRUE(waitUntil([&] { return title().find("paused") != std::string::npos; }));
    run.x().drag(window, 320, 320, 712); // 7.5 s, a quarter of the strip
    EXPECT_TRUE(waitUntil([&] { return title().find(" 7.50 s") != std::string::npos; })) << title();
    EXPECT_EQ(wine.escape(), std::optional<int>(0)) << run.errors();
}
