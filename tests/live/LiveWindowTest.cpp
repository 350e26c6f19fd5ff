// vellomirke-live on its own Xvfb, used as an author would: a window smaller
// than the screen, saves from an editor, the time keys.
#include "AudioTestSupport.h"
#include "EndingMoments.h"
#include "LiveCommands.h"
#include "Messages.h"
#include "Pictures.h"
#include "PngPicture.h"
#include "ReadOnlyFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <iostream>
#include <thread>

using namespace testsupport;

namespace {

const std::string solidBlue = R"(#version 330 core
out vec4 fragColor;
void main() {
    fragColor = vec4(0.0, 0.0, 1.0, 1.0);
}
)";

class LiveWindow : public ::testing::Test {
  protected:
    void start(const std::string& fragment) {
        run.useShaders(fragment);
        window = startLive(run);
    }

    void TearDown() override {
        if (window != 0 && run.process().running()) {
            tap(run, "Escape");
            EXPECT_EQ(run.waitForExit(), std::optional<int>(0))
                << "Escape did not end vellomirke-live";
            EXPECT_EQ(run.output(), "");
        }
    }

    DemoRun run;
    XWindow window = 0; // set once started
};

bool isRed(const Rgb& c) {
    return near(c, {255, 0, 0});
}

bool isGreen(const Image& i) {
    return near(centre(i), {0, 255, 0});
}

bool isBlue(const Image& i) {
    return near(centre(i), {0, 0, 255});
}

// The foot of a picture, where the window shows its problem lines: the
// lowest 60 rows, less a margin for the red frame.
struct Foot {
    int matching = 0; // pixels of the picture's own colour
    int light = 0;    // white or light yellow: letters
    int total = 0;
};

Foot footOf(const Image& i, const Rgb& picture) {
    Foot foot;
    for (int y = i.height - 60; y < i.height - 6; ++y) {
        for (int x = 6; x < i.width - 6; ++x) {
            const Rgb c = i.at(x, y);
            foot.matching += near(c, picture);
            foot.light += c.r > 200 && c.g > 200 && c.b > 100;
            ++foot.total;
        }
    }
    return foot;
}

// Letters on a band: many pixels unlike the picture, some of them light.
bool carriesText(const Image& i, const Rgb& picture) {
    const Foot foot = footOf(i, picture);
    return foot.total > 0 && foot.matching < foot.total * 9 / 10 && foot.light > 100;
}

bool showsOnlyThePicture(const Image& i, const Rgb& picture) {
    const Foot foot = footOf(i, picture);
    return foot.total > 0 && foot.matching == foot.total;
}

const Rgb green = {0, 255, 0};
const Rgb blue = {0, 0, 255};

// Blue as the driver of this machine (Mesa) builds it, though GLSL 3.30 has
// no line continuation and stricter compilers, glslang among them, refuse
// the text.
const std::string blueWithALineContinuation = R"(#version 330 core
out vec4 fragColor;
void main() {
    fragColor = vec4(0.0, 0.0, 1.0, 1.0) \
;
}
)";

} // namespace

TEST_F(LiveWindow, ShowsTheDemosPictureScaledAndLetterboxed) {
    start("position-and-time.frag");
    Image wide = run.waitForPicture([](const Image& i) {
        return i.width == 1280 && i.height == 720 && showsScaledPositions(i, 0, 1280, 720);
    });
    ASSERT_EQ(wide.width, 1280);
    EXPECT_TRUE(showsScaledPositions(wide, 0, 1280, 720))
        << "left " << describe(wide.at(0, 360)) << ", right " << describe(wide.at(1279, 360));

    // A squarer window: a 1000x562 picture between black bars of 69 rows.
    run.x().resizeWindow(window, 1000, 700);
    Image boxed = run.waitForPicture([](const Image& i) {
        return i.width == 1000 && i.height == 700 && showsScaledPositions(i, 69, 1000, 562);
    });
    EXPECT_TRUE(showsScaledPositions(boxed, 69, 1000, 562))
        << "top left of the picture " << describe(boxed.at(0, 69)) << ", bottom right "
        << describe(boxed.at(999, 630));
    for (int x : {0, 500, 999}) {
        EXPECT_TRUE(near(boxed.at(x, 67), {0, 0, 0}, 0)) << describe(boxed.at(x, 67));
        EXPECT_TRUE(near(boxed.at(x, 632), {0, 0, 0}, 0)) << describe(boxed.at(x, 632));
    }
}

TEST_F(LiveWindow, SavesRebuildWithoutAKeyAndABrokenSaveKeepsThePictureInARedFrame) {
    start("solid-green.frag");
    ASSERT_TRUE(isGreen(run.waitForPicture(isGreen)));

    saveByRename(run.dir(), "fragment.glsl", readFile(testDataPath("position-and-time.frag")));
    Image moving =
        run.waitForPicture([](const Image& i) { return showsScaledPositions(i, 0, 1280, 720); });
    ASSERT_TRUE(showsScaledPositions(moving, 0, 1280, 720)) << "the save was not picked up";

    expectBrokenSaveInARedFrame(run);

    // Mended by writing the file in place: the frame goes.
    run.dir().write("fragment.glsl", solidBlue);
    Image mended =
        run.waitForPicture([](const Image& i) { return isBlue(i) && !isRed(i.at(0, 0)); });
    EXPECT_TRUE(isBlue(mended));
    EXPECT_FALSE(isRed(mended.at(0, 0))) << describe(mended.at(0, 0));
}

// The strict check: the picture is the driver's build, the warning names the
// line once, the title counts it and the foot of the window shows it; a
// clean save takes all of it away and prints nothing.
TEST_F(LiveWindow, WhatOnlyThisDriverTakesIsShownAndWarnedAboutAtItsLine) {
    run.useShaders("solid-green.frag");
    run.dir().write("fragment.glsl", blueWithALineContinuation);
    window = startLive(run);
    Image shown = run.waitForPicture([](const Image& i) { return isBlue(i); });
    EXPECT_TRUE(isBlue(shown)) << describe(centre(shown));
    ASSERT_TRUE(waitUntil([&] {
        return run.x().title(window).find(" - 1 warning") != std::string::npos;
    })) << run.x().title(window);
    const std::string warned = run.errors();
    EXPECT_EQ(occurrences(warned, "\n"), 1) << warned;
    EXPECT_EQ(warned.rfind("fragment.glsl:4: warning: 'line continuation' : ", 0), 0) << warned;
    EXPECT_NE(warned.find("stricter drivers refuse it"), std::string::npos) << warned;
    Image footed = run.waitForPicture([](const Image& i) { return carriesText(i, blue); });
    EXPECT_TRUE(carriesText(footed, blue));
    EXPECT_FALSE(isRed(footed.at(0, 0))) << "a warning is not a failed build";

    saveByRename(run.dir(), "fragment.glsl", solidBlue);
    ASSERT_TRUE(waitUntil([&] {
        return run.x().title(window).find("warning") == std::string::npos;
    })) << run.x().title(window);
    Image clean = run.waitForPicture([](const Image& i) { return showsOnlyThePicture(i, blue); });
    EXPECT_TRUE(showsOnlyThePicture(clean, blue));
    EXPECT_EQ(run.errors(), warned) << "a clean piece printed something";
}

// A broken save's problem lines over the foot of the window, readable on
// the kept picture; never in an F12 shot; gone once mended.
TEST_F(LiveWindow, ProblemsShowAtTheFootOfTheWindowButNotInAShot) {
    start("solid-green.frag");
    ASSERT_TRUE(showsOnlyThePicture(
        run.waitForPicture([](const Image& i) { return showsOnlyThePicture(i, green); }), green));

    saveByRename(run.dir(), "fragment.glsl", readFile(testDataPath("compile-error.frag")));
    Image broken = run.waitForPicture(
        [](const Image& i) { return isRed(i.at(0, 0)) && carriesText(i, green); });
    EXPECT_TRUE(carriesText(broken, green)) << describe(broken.at(640, 690));
    EXPECT_TRUE(isGreen(broken)) << "the kept picture is gone";

    tap(run, "F12");
    std::string shot;
    ASSERT_TRUE(waitUntil([&] {
        const std::string errors = run.errors();
        const size_t at = errors.find("saved ");
        if (at == std::string::npos) {
            return false;
        }
        shot = errors.substr(at + 6, errors.find('\n', at) - at - 6);
        return true;
    })) << run.errors();
    const Image saved = decodePng(readFile(shot));
    EXPECT_TRUE(showsOnlyThePicture(saved, green)) << "the shot has the window's text in it";

    run.dir().copyTestFile("solid-green.frag", "fragment.glsl");
    Image mended = run.waitForPicture(
        [](const Image& i) { return !isRed(i.at(0, 0)) && showsOnlyThePicture(i, green); });
    EXPECT_TRUE(showsOnlyThePicture(mended, green));
}

// Paused, the picture is drawn once and the program sleeps, its title still
// true; a save, the time keys and P still act at once.
TEST_F(LiveWindow, PausedItStandsStillAtNoCostYetSavesAndTheTimeKeysAct) {
    start("position-and-time.frag");
    ASSERT_GT(encodedTime(run.waitForPicture([](const Image& i) { return encodedTime(i) > 0.3; })),
              0.3);

    tap(run, "p");
    ASSERT_TRUE(waitUntil([&] {
        return run.x().title(window).find("paused") != std::string::npos;
    })) << run.x().title(window);
    // The title changes after the first paused frame is shown.
    const double pausedAt = encodedTime(run.picture());
    const StillSpan paused = watchStandingStill(run, 3s);
    EXPECT_FALSE(paused.frameShown) << "frames were drawn while paused";
    EXPECT_LT(paused.coreShare, 0.05);
    EXPECT_EQ(encodedTime(run.picture()), pausedAt) << "time ran on while paused";
    EXPECT_NE(run.x().title(window).find(" 0 fps - paused"), std::string::npos)
        << run.x().title(window);

    run.dir().write("fragment.glsl", solidBlue);
    EXPECT_TRUE(isBlue(run.waitForPicture(isBlue))) << "a save while paused was not shown";
    saveByRename(run.dir(), "fragment.glsl", readFile(testDataPath("position-and-time.frag")));
    Image rebuilt =
        run.waitForPicture([](const Image& i) { return showsScaledPositions(i, 0, 1280, 720); });
    EXPECT_EQ(encodedTime(rebuilt), pausedAt) << "the rebuilt piece is not at the paused time";

    tap(run, "Right");
    Image ahead =
        run.waitForPicture([&](const Image& i) { return encodedTime(i) >= pausedAt + 0.8; });
    EXPECT_NEAR(encodedTime(ahead), pausedAt + 1.0, 0.15);

    tap(run, "Home");
    Image home = run.waitForPicture([](const Image& i) { return i.at(960, 540).b == 0; });
    EXPECT_EQ(home.at(960, 540).b, 0) << "time " << encodedTime(home);

    tap(run, "p");
    Image resumed = run.waitForPicture([](const Image& i) { return encodedTime(i) > 0.5; });
    EXPECT_GT(encodedTime(resumed), 0.5) << "time did not run again after a second P";
}

// A piece that does not read timeValue has one picture: it is drawn once and
// then costs next to nothing, until a save makes it read the time. Without
// audio.mp3 it loads no sound library either.
TEST_F(LiveWindow, APieceWithoutTimeIsDrawnOnceUntilItReadsTheTime) {
    start("solid-green.frag");
    ASSERT_TRUE(isGreen(run.waitForPicture(isGreen)));
    const StillSpan still = watchStandingStill(run, 3s);
    EXPECT_FALSE(still.frameShown) << "an unchanging picture was drawn again";
    EXPECT_LT(still.coreShare, 0.05);
    const std::string maps = readFile("/proc/" + std::to_string(run.process().pid()) + "/maps");
    EXPECT_EQ(maps.find("libSDL2"), std::string::npos)
        << "SDL was loaded for a piece without music";

    saveByRename(run.dir(), "fragment.glsl", readFile(testDataPath("position-and-time.frag")));
    Image timed =
        run.waitForPicture([](const Image& i) { return showsScaledPositions(i, 0, 1280, 720); });
    ASSERT_TRUE(showsScaledPositions(timed, 0, 1280, 720)) << "the save was not picked up";
    const double from = encodedTime(timed);
    Image later = run.waitForPicture([&](const Image& i) { return encodedTime(i) > from + 0.5; });
    EXPECT_GT(encodedTime(later), from + 0.5) << "a piece that reads timeValue stood still";
}

// SDL's audio start-up would take SIGINT and SIGTERM for itself. SIGTERM
// stands for both: a shell that starts the test in the background may have
// SIGINT ignored for its children already. The signal comes once the music
// is heard, when SDL's audio is surely up.
TEST_F(LiveWindow, ATerminatingSignalEndsIt) {
    audiotest::writeTwoToneTrack(run.dir(), "audio.mp3");
    const std::string capture = audiotest::useDiskDriver(run);
    start("solid-green.frag");
    ASSERT_TRUE(isGreen(run.waitForPicture(isGreen)));
    ASSERT_TRUE(audiotest::waitForSound(capture)) << "the music was never heard";
    run.process().kill(SIGTERM);
    EXPECT_EQ(run.waitForExit(), std::optional<int>(128 + SIGTERM));
}

// Ended at any moment, again and again, with the music playing: Escape or a
// close request 0.1 s to 2.4 s after the first frame, every other run with a
// piece that does not build. No run may end by a signal, or hang.
TEST_F(LiveWindow, EndingAtAnyMomentEndsCleanly) {
    for (int n = 0; n < 16; ++n) {
        const auto [builds, closed, after] = endingMoment(n);
        SCOPED_TRACE("run " + std::to_string(n) +
                     (builds ? "" : " of a piece that does not build") +
                     (closed ? ", closed" : ", Escape") + " after " + std::to_string(after) + " s");
        DemoRun soak;
        soak.useShaders(builds ? "solid-green.frag" : "compile-error.frag");
        audiotest::writeTwoToneTrack(soak.dir(), "audio.mp3");
        audiotest::useDiskDriver(soak);
        const XWindow shown = startLive(soak);
        ASSERT_NE(shown, 0u);
        // The moment is what the run is about; nothing else is awaited.
        std::this_thread::sleep_for(std::chrono::duration<double>(after));
        const std::optional<int> status =
            closed ? std::optional<int>(soak.close()) : (tap(soak, "Escape"), soak.waitForExit());
        EXPECT_EQ(status, std::optional<int>(0)) << soak.errors();
    }
}

// Save to new picture, ten times, through the whole path: the editor's
// rename, the watcher's settling, the build, a frame and the X server.
TEST_F(LiveWindow, EverySaveReachesTheScreenAndHowLongItTakes) {
    start("solid-green.frag");
    // A small window keeps reading the picture back cheap; the piece is
    // still drawn at 1920x1080.
    run.x().resizeWindow(window, 320, 180);
    ASSERT_TRUE(
        isGreen(run.waitForPicture([](const Image& i) { return i.width == 320 && isGreen(i); })));

    const std::string green = readFile(testDataPath("solid-green.frag"));
    timeTenSaves(run, "save to new picture", solidBlue, green,
                 [](const Image& i, int round) { return round % 2 == 0 ? isBlue(i) : isGreen(i); });
    EXPECT_EQ(run.errors(), "");
}

// Full screen is how a piece is shown: no cursor over it. In a window beside
// the editor the cursor stays, as over any other window.
TEST_F(LiveWindow, FullScreenHidesTheCursorAndTheWindowKeepsIt) {
    start("position-and-time.frag");
    EXPECT_GT(run.visibleCursorAfterPointerMoves(), 0) << "no cursor over the window";

    DemoRun shown;
    shown.useShaders("position-and-time.frag");
    startLive(shown, liveCommand(shown, {"--fullscreen"}));
    EXPECT_EQ(shown.visibleCursorAfterPointerMoves(), 0) << "the cursor shows over the picture";
    tap(shown, "Escape");
    EXPECT_EQ(shown.waitForExit(), std::optional<int>(0)) << shown.errors();
}

// A piece on read-only media runs as any other and nothing is written there;
// F12 says why it saved nothing, and the program goes on.
TEST_F(LiveWindow, RunsFromAReadOnlyFolderWhereF12SaysWhyItSavedNothing) {
    run.useShaders("position-and-time.frag");
    const std::string before = folderState(run.dir().path());
    window = startLive(run, onReadOnlyFolder(run.dir().path(), liveCommand(run)));
    auto probe = [](const Image& i) { return showsScaledPositions(i, 0, 1280, 720); };
    ASSERT_TRUE(probe(run.waitForPicture(probe))) << run.errors();

    tap(run, "F12");
    const std::string refusal = "its folder is read-only; the picture was not saved anywhere\n";
    ASSERT_TRUE(waitUntil([&] { return run.errors().find(refusal) != std::string::npos; }))
        << run.errors();
    const std::string errors = run.errors();
    const std::string line = errors.substr(errors.rfind('\n', errors.find(refusal)) + 1);
    EXPECT_EQ(line.rfind("vellomirke-live: cannot write " + run.dir().path() + "/shot-", 0), 0u)
        << errors;

    const double at = encodedTime(run.picture());
    EXPECT_GT(
        encodedTime(run.waitForPicture([&](const Image& i) { return encodedTime(i) > at + 0.5; })),
        at + 0.5)
        << "the piece stopped after F12";
    tap(run, "p");
    EXPECT_TRUE(waitUntil([&] {
        return run.x().title(window).find("paused") != std::string::npos;
    })) << "a key after F12 did nothing: "
        << run.x().title(window);
    tap(run, "Escape");
    EXPECT_EQ(run.waitForExit(), std::optional<int>(0)) << run.errors();
    EXPECT_EQ(run.output(), "");
    EXPECT_EQ(folderState(run.dir().path()), before);
}
