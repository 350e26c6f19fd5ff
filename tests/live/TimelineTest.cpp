// vellomirke-live's timeline: the tempo it finds in tracks of known tempo
// (made here, as a dance track is made: kick, bass, pad and hi-hats), what
// it says of tracks it cannot use, and the strip under the mouse and keys.
#include "BeatTrack.h"
#include "LiveCommands.h"
#include "Pictures.h"
#include "PngPicture.h"
#include "RunTool.h"
#include "ToneTrack.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>

using namespace testsupport;

namespace {

// The audio.mp3 line of `--check` on `piece`, with `options` before it.
std::string soundtrackLine(const TempDir& piece, std::vector<std::string> options = {}) {
    TempDir scratch;
    std::string errors, output;
    options.insert(options.begin(), "--check");
    options.push_back(piece.path());
    const int status = runLiveCommand(options, scratch, errors, output, {});
    EXPECT_TRUE(status == 0 || status == 1) << errors;
    const std::size_t at = output.find("audio.mp3: ");
    return at == std::string::npos ? output : output.substr(at, output.find('\n', at) - at);
}

// The time in the title: "vellomirke-live - piece - 12.50 s ...".
double titleTime(const std::string& title) {
    std::smatch found;
    return std::regex_search(title, found, std::regex(" - +([0-9]+\\.[0-9]+) s"))
               ? std::stod(found[1])
               : -1.0;
}

} // namespace

// Each track's tempo within half a beat a minute and its first downbeat
// within 20 ms; tracks without a beat are said to have none.
TEST(Timeline, FindsTheTempoAndFirstDownbeatOfTracksOfKnownTempo) {
    TempDir piece;
    struct Track {
        double bpm;
        bool swung;
    };
    for (const Track track :
         {Track{90, false}, {120, false}, {128, false}, {140, false}, {174, false}, {124, true}}) {
        writeBeatTrack(piece, "audio.mp3", {track.bpm, 0.35, track.swung});
        const std::string line = soundtrackLine(piece);
        std::cout << track.bpm << (track.swung ? " swung" : "") << ": " << line << '\n';
        const std::optional<FoundTempo> found = tempoIn(line);
        ASSERT_TRUE(found) << line;
        EXPECT_NEAR(found->bpm, track.bpm, 0.5) << line;
        EXPECT_NEAR(found->firstDownbeat, 0.35, 0.02) << line;
    }
    std::filesystem::copy_file(VELLOMIRKE_SAMPLE_SOUNDTRACK, piece.file("audio.mp3"),
                               std::filesystem::copy_options::overwrite_existing);
    const std::string sample = soundtrackLine(piece);
    std::cout << "the sample: " << sample << '\n';
    ASSERT_TRUE(tempoIn(sample)) << sample;
    EXPECT_NEAR(tempoIn(sample)->bpm, 120.0, 0.5); // it is made at 120

    writeTones(piece, "audio.mp3", {{110.0, 20}}); // a drone
    EXPECT_NE(soundtrackLine(piece).find("; no steady beat"), std::string::npos);
    writeTones(piece, "audio.mp3", {{0.0, 20}});
    EXPECT_NE(soundtrackLine(piece).find("; no steady beat"), std::string::npos);
    // A tempo given by hand wins.
    EXPECT_NE(soundtrackLine(piece, {"--bpm", "128@0.5"})
                  .find("; 128.00 BPM, first downbeat at 0.500 s, as given"),
              std::string::npos);
}

// Tracks the tempo cannot be found in, each said so in words and none a
// stall: every --check returns well within runLiveCommand's 30 s.
TEST(Timeline, TracksItCannotUseAreNamedNeverAStall) {
    TempDir piece, made;
    writeBeatTrack(made, "beat.mp3", {128, 0.0, false, 12.0, 8000}); // mono, 8 kHz
    const std::string beat = readFile(made.file("beat.mp3"));
    struct Case {
        std::string name, content, expected;
    };
    // An hour of a tone in one stream: 300 copies of 12 s without a header
    // that would tell a decoder where the first ends.
    writeTones(made, "tone.mp3", {{440.0, 12}}, 8000);
    std::string hour;
    for (int i = 0; i < 300; ++i) {
        hour += readFile(made.file("tone.mp3"));
    }
    // ID3 2.4 with a 4 MB tag of padding before the beat.
    const std::string tag =
        "ID3\x04" + std::string("\0\0\x01\x7f\x7f\x7f", 6) + std::string(0x3fffff, '\0');
    for (const Case& c :
         std::vector<Case>{{"empty", "", "audio.mp3: error"},
                           {"not MP3", "not a sound, a note about one\n", "audio.mp3: error"},
                           {"truncated", beat.substr(0, 3000), "; no steady beat"},
                           {"an hour long", hour, "; no steady beat"},
                           {"large ID3 tag", tag + beat, "; 12"}}) {
        piece.write("audio.mp3", c.content);
        const std::string line = soundtrackLine(piece);
        EXPECT_NE(line.find(c.expected), std::string::npos) << c.name << ": " << line;
    }
    writeTones(piece, "audio.mp3", {{440.0, 3}, {0.0, 3}}, 8000);
    EXPECT_NE(soundtrackLine(piece).find("; no steady beat"), std::string::npos);

    TempDir scratch;
    std::string errors;
    for (const std::vector<std::string>& wrong : {std::vector<std::string>{"--bpm", "0"},
                                                  {"--bpm", "-5"},
                                                  {"--bpm", "1e9"},
                                                  {"--bpm", "128@-1"},
                                                  {"--beats-per-bar", "0"}}) {
        EXPECT_EQ(runLiveCommand(wrong, scratch, errors), 2) << wrong[0] << ' ' << wrong[1];
    }
}

// The strip in the window: a click seeks picture and title, ] lands on the
// next beat, L loops the bar, M prints a line of GLSL and puts it on the
// clipboard, and F12's shot has no strip in it.
TEST(Timeline, TheStripSeeksLoopsAndMarksAndStaysOutOfShots) {
    DemoRun run;
    run.useShaders("position-and-time.frag");
    writeBeatTrack(run.dir(), "audio.mp3", {120, 0.35, false});
    // The tempo as found is a few milliseconds off; given, the times below are exact.
    const XWindow window = startLive(run, liveCommand(run, {"--bpm", "120@0.35"}, true));
    auto title = [&] { return run.x().title(window); };
    ASSERT_TRUE(waitUntil([&] { return title().find("120 BPM") != std::string::npos; })) << title();
    tap(run, "p");
    ASSERT_TRUE(waitUntil([&] { return title().find("paused") != std::string::npos; }));

    // 15 s is the middle of the 1280-pixel strip at the window's foot.
    run.x().drag(window, 640, 640, 712);
    ASSERT_TRUE(waitUntil([&] { return title().find(" 15.00 s") != std::string::npos; }))
        << title();
    EXPECT_NE(title().find("bar 8.2"), std::string::npos) << title();
    EXPECT_NEAR(encodedTime(run.waitForPicture(
                    [](const Image& i) { return std::abs(encodedTime(i) - 15.0) < 0.2; })),
                15.0, 0.2);

    tap(run, "bracketright"); // beats at 0.35 + k/2 s
    ASSERT_TRUE(waitUntil([&] { return title().find(" 15.35 s") != std::string::npos; }))
        << title();
    tap(run, "l");
    ASSERT_TRUE(waitUntil([&] {
        return title().find("looping 14.35-16.35 s") != std::string::npos;
    })) << title();
    tap(run, "p");
    // Running, the time reaches the bar's end and starts again at its start.
    double latest = 0.0;
    EXPECT_TRUE(waitUntil(
        [&] {
            const double now = titleTime(title());
            const bool wrapped = latest > 16.0 && now >= 14.35 && now < 15.0;
            latest = std::max(latest, now);
            return wrapped;
        },
        std::chrono::seconds(15)))
        << title();
    EXPECT_LT(latest, 16.36);

    tap(run, "m");
    ASSERT_TRUE(waitUntil([&] { return run.output().find('\n') != std::string::npos; }));
    const std::string mark = run.output().substr(0, run.output().find('\n'));
    std::cout << mark << '\n';
    EXPECT_TRUE(
        std::regex_match(mark, std::regex("const float mark1 = 1[456]\\.[0-9]{3}; // bar 8, "
                                          "beat [1-4](\\.[0-9]+)?")))
        << mark;
    ProcessOptions onDisplay;
    onDisplay.environment["DISPLAY"] = run.display();
    EXPECT_EQ(
        runTool({"xclip", "-o", "-selection", "clipboard"}, std::chrono::seconds(10), onDisplay),
        mark);

    // L again ends the loop; a Shift-drag sets another, from 7.5 s to 10 s.
    tap(run, "l");
    ASSERT_TRUE(waitUntil([&] { return title().find("looping") == std::string::npos; }));
    run.x().drag(window, 320, 427, 712, {"Shift_L"});
    EXPECT_TRUE(waitUntil([&] { return title().find("looping 7.50-10.0") != std::string::npos; }))
        << title();

    tap(run, "F12");
    std::string shot;
    ASSERT_TRUE(waitUntil([&] {
        const std::size_t at = run.errors().find("saved ");
        shot = at == std::string::npos ? "" : run.errors().substr(at + 6);
        return shot.find('\n') != std::string::npos;
    })) << run.errors();
    shot.erase(shot.find('\n'));
    EXPECT_TRUE(showsScaledPositions(decodePng(readFile(shot)), 0, 1920, 1080))
        << "the shot has the strip in it";
    EXPECT_FALSE(showsScaledPositions(run.picture(), 0, 1280, 720)) << "no strip in the window";

    tap(run, "Escape");
    EXPECT_EQ(run.waitForExit(), std::optional<int>(0));
}
