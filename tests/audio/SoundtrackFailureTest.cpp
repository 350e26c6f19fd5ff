// Without a playable audio.mp3 or without anywhere to play it, the demo runs
// as usual, only silently: the window comes up without delay, the picture
// moves, standard output stays empty and a close request ends it with 0.
#include "AudioTestSupport.h"
#include "DemoProcess.h"
#include "TestTrack.h"
#include "ToneAnalysis.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using namespace testsupport;
using namespace audiotest;

namespace {

// A sound server that has hung: its socket takes connections into the
// listen queue, and nobody ever answers them.
class UnansweringSocket {
  public:
    explicit UnansweringSocket(const std::string& path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        fd_ = socket(AF_UNIX, SOCK_STREAM, 0);
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(fd_, 16) != 0) {
            throw std::runtime_error("cannot listen on " + path);
        }
    }
    ~UnansweringSocket() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    UnansweringSocket(const UnansweringSocket&) = delete;
    UnansweringSocket& operator=(const UnansweringSocket&) = delete;

  private:
    int fd_ = -1;
};

// No sound server and no sound card, whatever this machine has: the client
// libraries look for their servers under this directory only, and ALSA gets a
// configuration that defines no device.
Environment nothingToPlayOn(const TempDir& dir) {
    std::filesystem::create_directories(dir.file("runtime"));
    std::filesystem::permissions(dir.file("runtime"), std::filesystem::perms::owner_all);
    dir.write("asound.conf", "");
    return {{"SDL_AUDIODRIVER", std::nullopt},
            {"AUDIODEV", std::nullopt},
            {"XDG_RUNTIME_DIR", dir.file("runtime")},
            {"HOME", dir.path()},
            {"PULSE_SERVER", "unix:" + dir.file("no-server")},
            {"ALSA_CONFIG_PATH", dir.file("asound.conf")}};
}

// The probe shader paints red and green from the position on screen and blue
// from the clock; `window` shows the first, and the second changes while the
// frame loop runs.
void expectPictureRunsAsUsual(XClient& x, XWindow window) {
    Image before = x.capture(window);
    std::this_thread::sleep_for(500ms);
    Image after = x.capture(window);
    ASSERT_EQ(before.width, 1920);
    ASSERT_EQ(before.height, 1080);
    // (480, 270) from the top left is (0.25, 0.75) of the window from the
    // bottom left, where GL counts from.
    Rgb pixel = after.at(480, 270);
    EXPECT_NEAR(pixel.r, 64, 3);
    EXPECT_NEAR(pixel.g, 191, 3);
    EXPECT_NE(before.at(480, 270).b, pixel.b) << "the picture stands still";
}

// Runs the demo in `dir` with `audio` until its picture is up, then closes it.
void expectSilentRunAsUsual(const TempDir& dir, const Environment& audio) {
    XvfbServer server;
    DemoProcess demo(server.display(), dir, audio);
    XClient x(server.display());
    // Thirty seconds are far more than start-up takes; a demo that waited for
    // a device that will not come would never show its window.
    XWindow window = demo.waitForWindow(x);
    expectPictureRunsAsUsual(x, window);
    x.sendCloseRequest(window);
    auto status = demo.waitForExit(10s);
    ASSERT_TRUE(status) << "the demo ignored the close request";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(demo.output(), "");
    // libasound would print a screenful of errors for a missing card.
    EXPECT_EQ(demo.errors().find("ALSA lib"), std::string::npos) << demo.errors();
}

// As above, through the disk driver, and nothing is heard although the
// device was running all along.
void expectRunWithoutSound(const TempDir& dir) {
    const std::string capture = dir.file("capture.raw");
    expectSilentRunAsUsual(dir, diskDriver(capture));
    auto samples = readStereoAsMono(capture);
    EXPECT_GT(samples.size(), 0u) << "the audio device never ran";
    auto sound = firstAudibleFrame(samples);
    EXPECT_FALSE(sound) << "sound at " << double(sound.value_or(0)) / deviceRate << " s";
}

class SoundtrackFailure : public ::testing::Test {
  protected:
    void SetUp() override { copyProbeShaders(dir); }
    TempDir dir;
};

} // namespace

TEST_F(SoundtrackFailure, MissingFile) {
    expectRunWithoutSound(dir);
}

TEST_F(SoundtrackFailure, EmptyFile) {
    dir.write("audio.mp3", "");
    expectRunWithoutSound(dir);
}

TEST_F(SoundtrackFailure, FileCutInsideItsFirstFrame) {
    writeTwoToneTrack(dir, "whole.mp3");
    dir.write("audio.mp3", readFile(dir.file("whole.mp3")).substr(0, 200));
    expectRunWithoutSound(dir);
}

TEST_F(SoundtrackFailure, FileCutHalfwayPlaysWhatIsLeft) {
    // What is left is playable and loops; what matters is that the broken
    // end trips up neither the picture nor the end of the run.
    writeTwoToneTrack(dir, "whole.mp3");
    std::string whole = readFile(dir.file("whole.mp3"));
    dir.write("audio.mp3", whole.substr(0, whole.size() / 2 + 123));
    expectSilentRunAsUsual(dir, diskDriver(dir.file("capture.raw")));
}

TEST_F(SoundtrackFailure, RandomBytes) {
    std::mt19937 random(20170101);
    std::string noise(20000, '\0');
    for (char& c : noise) {
        c = static_cast<char>(random() & 0xff);
    }
    dir.write("audio.mp3", noise);
    expectRunWithoutSound(dir);
}

TEST_F(SoundtrackFailure, UnusableAudioDriver) {
    writeTwoToneTrack(dir, "audio.mp3");
    expectSilentRunAsUsual(dir, {{"SDL_AUDIODRIVER", "no-such-driver"}});
}

TEST_F(SoundtrackFailure, NoSoundServerAndNoSoundCard) {
    writeTwoToneTrack(dir, "audio.mp3");
    expectSilentRunAsUsual(dir, nothingToPlayOn(dir));
}

// The program does not link SDL: it starts without it, and when the opening
// thread cannot load it either, the demo runs on silently.
TEST_F(SoundtrackFailure, SoundLibrariesMissing) {
    writeTwoToneTrack(dir, "audio.mp3");
    const std::string refused = dir.file("refused.txt");
    XvfbServer server;
    DemoProcess demo(
        server.display(), dir,
        {{"LD_PRELOAD", REFUSE_SOUND_LIBRARIES_SHIM}, {"VELLOMIRKE_SHIM_LOG", refused}});
    XClient x(server.display());
    XWindow window = demo.waitForWindow(x);
    ASSERT_TRUE(waitUntil(10s, [&] { return !readFile(refused).empty(); }))
        << "the demo never asked for SDL";
    EXPECT_EQ(readFile(refused).rfind("libSDL2-2.0.so.0\n", 0), 0u) << readFile(refused);
    const std::string maps = readFile("/proc/" + std::to_string(demo.process().pid()) + "/maps");
    EXPECT_EQ(maps.find("libSDL2"), std::string::npos) << "SDL was loaded all the same";
    expectPictureRunsAsUsual(x, window);
    x.sendCloseRequest(window);
    auto status = demo.waitForExit(10s);
    ASSERT_TRUE(status) << "the demo ignored the close request";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(demo.output(), "");
}

TEST_F(SoundtrackFailure, SoundServerThatNeverAnswers) {
    writeTwoToneTrack(dir, "audio.mp3");
    Environment audio = nothingToPlayOn(dir);
    UnansweringSocket hungServer(dir.file("hung-server"));
    audio["SDL_AUDIODRIVER"] = "pulseaudio";
    audio["PULSE_SERVER"] = "unix:" + dir.file("hung-server");
    expectSilentRunAsUsual(dir, audio);
}
