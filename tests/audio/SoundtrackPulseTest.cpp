// The soundtrack through a real sound server: a private PulseAudio daemon
// with a null sink, whose monitor parec records. Ending runs are held in the
// windowing library's terminate call (HoldAtTerminate.cpp), so that what is
// heard while the process is on its way out can be told from what is heard
// once it is gone.
#include "AudioTestSupport.h"
#include "Messages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace testsupport;
using namespace audiotest;

namespace {

// The demo on the test track, played to the server, which can be held in its
// terminate call.
struct PulseRun : ListenedRun {
    explicit PulseRun(DemoRun::Screen screen = DemoRun::Screen()) : ListenedRun(screen) {
        run.useShaders("probe.frag");
        writeTwoToneTrack(run.dir(), "audio.mp3");
    }

    // Holds the demo in its terminate call until letGo().
    void holdAtTerminate() {
        run.environment()["LD_PRELOAD"] = HOLD_AT_TERMINATE_SHIM;
        run.environment()["VELLOMIRKE_HOLD_MARK"] = pulseDir.file("terminating");
        run.environment()["VELLOMIRKE_HOLD_RELEASE"] = pulseDir.file("release");
    }
    bool waitForTerminate() {
        return waitUntil([&] { return std::filesystem::exists(pulseDir.file("terminating")); });
    }
    void letGo() { pulseDir.write("release", ""); }
};

bool holdsOpen(int pid, const std::string& path) {
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    std::error_code error;
    for (const auto& fd : std::filesystem::directory_iterator(fds, error)) {
        if (std::filesystem::read_symlink(fd.path(), error) == path) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(SoundtrackThroughPulseAudio, TheServerHearsTheTrack) {
    PulseRun p;
    p.run.startAndShow();
    // A whole tone of each, low before high.
    const bool heard = p.waitToHear({lowTone, highTone});
    EXPECT_EQ(p.run.close(), 0);
    EXPECT_TRUE(heard) << "recorded " << frameCount(p.recording) << " frames: " << p.heard()
                       << "\nparec: " << readFile(p.recording + ".log")
                       << "\ndemo: " << p.run.errors();
    EXPECT_EQ(p.run.output(), "");
}

// The soundtrack is never stopped: after Escape it plays on while the demo
// shuts down, and it ends with the process.
TEST(SoundtrackThroughPulseAudio, AfterEscapeTheMusicPlaysUntilTheProcessExits) {
    PulseRun p;
    p.holdAtTerminate();
    p.run.startAndShow();
    ASSERT_TRUE(waitForSound(p.recording)) << "the track never played: " << p.run.errors();
    p.run.press({"Escape"});
    ASSERT_TRUE(p.waitForTerminate()) << "Escape did not end the frame loop";
    p.run.release({"Escape"});
    // Well after the loop has ended, and before the process does.
    const auto shuttingDown = p.listen(3.0);
    ASSERT_FALSE(shuttingDown.empty()) << "the monitor stopped recording";
    EXPECT_TRUE(firstAudibleFrame({shuttingDown.end() - deviceRate, shuttingDown.end()}))
        << "the music stopped before the process ended";
    p.letGo();
    EXPECT_EQ(p.run.waitForExit(), 0);
    // Half a second for the server to drop the stream, then silence.
    const auto gone = p.listen(1.5);
    ASSERT_FALSE(gone.empty()) << "the monitor stopped recording";
    EXPECT_FALSE(firstAudibleFrame({gone.begin() + deviceRate / 2, gone.end()}))
        << "the music outlived the process";
}

// When the window cannot be made, main returns -1: by then the soundtrack
// has been opened (its file is held open once the device is up), but it is
// never played, not even while the demo is on its way out.
TEST(SoundtrackThroughPulseAudio, AfterAFailedStartTheTrackIsOpenedButNeverHeard) {
    for (DemoRun::Screen screen :
         {DemoRun::Screen{"", {}, true}, DemoRun::Screen{"1920x1080x24", {"-extension", "GLX"}}}) {
        SCOPED_TRACE(screen.none ? "no display" : "no GLX");
        PulseRun p(screen);
        p.holdAtTerminate();
        p.run.start();
        ASSERT_TRUE(p.waitForTerminate()) << p.run.output();
        const std::string track = p.run.dir().file("audio.mp3");
        EXPECT_TRUE(waitUntil([&] { return holdsOpen(p.run.process().pid(), track); }))
            << "the soundtrack was not opened: " << p.run.errors();
        const auto held = p.listen(2.0);
        ASSERT_FALSE(held.empty()) << "the monitor stopped recording";
        EXPECT_FALSE(firstAudibleFrame(held)) << "the soundtrack was heard";
        p.letGo();
        EXPECT_EQ(p.run.waitForExit(), 255);
        EXPECT_EQ(p.run.output(), windowFailed);
    }
}
