// scripts/capture end to end: the video it writes, frame by frame and with its
// soundtrack, how it refuses bad input, and that it never leaves a process
// behind.
#include "DemoRun.h"
#include "Pictures.h"
#include "ToneTrack.h"
#include "VideoProbe.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <random>

using namespace std::chrono_literals;
using namespace testsupport;
namespace fs = std::filesystem;

namespace {

// Every process of a capture run carries this variable, inherited from the
// script, so that whatever is left of a run can be found afterwards.
const std::string runTagVariable = "VELLOMIRKE_CAPTURE_TEST_RUN";

std::string newRunTag() {
    std::random_device random;
    return std::to_string(random()) + "-" + std::to_string(random());
}

std::vector<std::string> processesTagged(const std::string& tag) {
    const std::string nul(1, '\0'), entry = nul + runTagVariable + "=" + tag + nul;
    std::vector<std::string> found;
    for (const auto& process : fs::directory_iterator("/proc")) {
        if ((nul + readFile(process.path() / "environ")).find(entry) != std::string::npos) {
            found.push_back(process.path().filename().string() + " " +
                            readFile(process.path() / "comm"));
        }
    }
    return found;
}

// Killed processes take a moment to go; anything still there after some
// seconds was left behind.
std::vector<std::string> processesLeftBehind(const std::string& tag) {
    std::vector<std::string> left;
    waitUntil([&] { return (left = processesTagged(tag)).empty(); }, 20s);
    return left;
}

std::vector<std::string> directoryEntries(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path)) {
        names.push_back(entry.path().filename());
    }
    return names;
}

// One run of scripts/capture in `workingDirectory`, its output kept in `logs`.
class CaptureRun {
  public:
    CaptureRun(const std::vector<std::string>& arguments, const std::string& workingDirectory,
               std::map<std::string, std::optional<std::string>> environment = {},
               bool throughBash = false)
        : tag_(newRunTag()) {
        for (const std::string& argument : arguments) {
            commandLine_ += " " + argument;
        }
        ProcessOptions options;
        if (throughBash) {
            options.argv.push_back("/bin/bash");
        }
        options.argv.push_back(VELLOMIRKE_CAPTURE_SCRIPT);
        options.argv.insert(options.argv.end(), arguments.begin(), arguments.end());
        options.workingDirectory = workingDirectory;
        options.stdoutPath = logs_.file("stdout");
        options.stderrPath = logs_.file("stderr");
        options.environment = std::move(environment);
        options.environment[runTagVariable] = tag_;
        options.environment["VELLOMIRKE_BUILD_DIR"] = VELLOMIRKE_BUILD_DIR;
        process_ = std::make_unique<ChildProcess>(options);
    }

    // The script's exit status; throws, failing the test, when it is still
    // running after `timeout`.
    int exitStatus(std::chrono::seconds timeout) {
        if (auto status = process_->waitForExit(timeout)) {
            return *status;
        }
        throw std::runtime_error("capture" + commandLine_ + " still running after " +
                                 std::to_string(timeout.count()) + " s");
    }
    ChildProcess& process() { return *process_; }
    std::string output() const { return readFile(logs_.file("stdout")); }
    std::string errors() const { return readFile(logs_.file("stderr")); }
    std::vector<std::string> processesLeftBehind() const { return ::processesLeftBehind(tag_); }

  private:
    TempDir logs_;
    std::string tag_;
    std::string commandLine_;
    std::unique_ptr<ChildProcess> process_;
};

// The assets of a capture: the clock-painting shader, in `subdirectory` when
// given.
void writeAssets(const TempDir& dir, const std::string& subdirectory = "") {
    fs::create_directories(dir.file(subdirectory));
    dir.copyTestFile("vertex.glsl", fs::path(subdirectory) / "vertex.glsl");
    dir.copyTestFile("capture-clock.frag", fs::path(subdirectory) / "fragment.glsl");
}

// What capture-clock.frag paints below its white band at `seconds`.
Rgb clockColour(double seconds) {
    double unused;
    return {channel(std::modf(seconds / 4.0, &unused)), channel(seconds / 32.0),
            channel(std::modf(seconds, &unused))};
}

// H.264 at the capture's quality and the trip through 4:2:0 move flat colours
// by a few steps; neighbouring frames of capture-clock.frag differ by 16 steps
// or more in red or blue at 4 frames per second, by 64 in red at 1 and by 8
// in blue at 30.
constexpr int tolerance = 5;

// Each frame k shows the clock at k / fps seconds below a white band at the
// top. The frames are shrunk to 96 x 54, one pixel per 20 x 20 block.
void expectFramesShowTheirTimes(const std::string& video, int fps) {
    auto frames = videoprobe::frames(video, 96, 54);
    ASSERT_EQ(frames.size(), static_cast<size_t>(30 * fps + 1));
    const Rgb white{255, 255, 255};
    int wrong = 0;
    for (size_t k = 0; k < frames.size(); ++k) {
        Rgb expected = clockColour(static_cast<double>(k) / fps);
        for (auto [x, y] : {std::pair{5, 20}, std::pair{48, 30}, std::pair{90, 52}}) {
            Rgb actual = frames[k].at(x, y);
            if (!near(actual, expected, tolerance) && ++wrong <= 10) {
                ADD_FAILURE() << "frame " << k << " at (" << x << ", " << y << ") shows "
                              << describe(actual) << ", the shader paints " << describe(expected)
                              << " at " << static_cast<double>(k) / fps << " s";
            }
        }
        Rgb top = frames[k].at(48, 2);
        if (!near(top, white, tolerance) && ++wrong <= 10) {
            ADD_FAILURE() << "frame " << k << " is not white at the top but " << describe(top);
        }
    }
    EXPECT_EQ(wrong, 0) << "pixels off in all";
}

double rms(const std::vector<std::int16_t>& samples, int rate, double from, double to) {
    size_t begin = static_cast<size_t>(from * rate);
    size_t end = std::min(samples.size(), static_cast<size_t>(to * rate));
    double sum = 0;
    for (size_t i = begin; i < end; ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return end > begin ? std::sqrt(sum / (end - begin)) : 0;
}

} // namespace

TEST(CaptureVideo, EveryFrameShowsItsOwnTimeAndTheSoundtrackRunsFromTheStart) {
    TempDir dir;
    writeAssets(dir);
    // A second of silence, then four seconds of a tone: where the tone starts
    // shows where the soundtrack starts and where it loops.
    writeTones(dir, "audio.mp3", {{0, 1}, {440, 4}});
    TempDir outDir;
    const std::string video = outDir.file("clock.mp4");
    CaptureRun capture(
        {"--fps", "4", "--audio-bitrate", "64", "--assets", dir.path(), "--out", video},
        dir.path());
    ASSERT_EQ(capture.exitStatus(150s), 0) << capture.errors();
    EXPECT_EQ(capture.output(), "") << "the demo's standard output must stay its own";
    EXPECT_NE(capture.errors().find("frame 121 of 121"), std::string::npos) << capture.errors();
    EXPECT_EQ(capture.processesLeftBehind(), std::vector<std::string>{});
    EXPECT_EQ(directoryEntries(outDir.path()), std::vector<std::string>{"clock.mp4"});

    videoprobe::expectDeliveryFormat(video, 64000);
    // 30 s at 4 frames per second, and the frame at 30 s itself, on which the
    // demo ends: 121 frames of a quarter second each.
    auto streams = videoprobe::streams(video);
    ASSERT_EQ(streams.size(), 2u);
    const auto& picture = streams[0];
    EXPECT_EQ(picture.decodedFrames, 121);
    EXPECT_NEAR(picture.startTime, 0.0, 1e-6);
    EXPECT_NEAR(picture.duration, 30.25, 1e-3);
    const auto& sound = streams[1];
    EXPECT_NEAR(sound.startTime, 0.0, 1e-3);
    // Cut to the video's length, give or take one AAC frame of 1024 samples.
    EXPECT_NEAR(sound.duration, 30.25, 0.03);

    expectFramesShowTheirTimes(video, 4);

    // The tone starts a second in and again a second into each loop of the
    // soundtrack, as the demo plays it. A loop lasts as long as the decoded
    // file, which is a little longer than the five seconds sox was asked for.
    const int rate = 8000;
    auto samples = videoprobe::audio(video, rate);
    const double loopSeconds =
        static_cast<double>(videoprobe::audio(dir.file("audio.mp3"), rate).size()) / rate;
    ASSERT_NEAR(loopSeconds, 5.0, 0.1);
    const double quiet = 300, loud = 5000;
    for (int loop : {0, 1, 5}) {
        double start = loop * loopSeconds;
        EXPECT_LT(rms(samples, rate, start + 0.05, start + 0.95), quiet) << "loop " << loop;
        EXPECT_GT(rms(samples, rate, start + 1.1, start + 4.9), loud) << "loop " << loop;
    }
}

// Once with each way of converting the frames to YUV, which must agree.
TEST(CaptureVideo, WithoutSoundtrackWritesVideoOnlyToDemoMp4BesideTheCaller) {
    for (const char* conversion : {"gpu", "cpu"}) {
        SCOPED_TRACE(std::string("converted on the ") + conversion);
        TempDir dir;
        writeAssets(dir, "assets");
        CaptureRun capture({"--fps", "1", "--assets", "assets"}, dir.path(),
                           {{"VELLOMIRKE_CAPTURE_CONVERT", conversion}});
        ASSERT_EQ(capture.exitStatus(120s), 0) << capture.errors();
        EXPECT_EQ(capture.output(), "");
        EXPECT_EQ(capture.processesLeftBehind(), std::vector<std::string>{});

        const std::string video = dir.file("demo.mp4");
        auto streams = videoprobe::streams(video);
        ASSERT_EQ(streams.size(), 1u);
        EXPECT_EQ(streams[0].type, "video");
        EXPECT_EQ(streams[0].decodedFrames, 31);
        EXPECT_NEAR(streams[0].duration, 31.0, 1e-3);
        expectFramesShowTheirTimes(video, 1);
    }
}

// A piece that costs the encoders almost nothing: two flat colours, the lower
// one stepping a little each frame, and no soundtrack. The rules' floors hold
// all the same, and every frame of the second encoding still shows its time.
TEST(CaptureVideo, PartyVideoHoldsTheRulesFloorsEvenForAFlatSilentPiece) {
    TempDir dir;
    writeAssets(dir);
    TempDir outDir;
    const std::string video = outDir.file("entry.mp4");
    CaptureRun capture({"--party", "--assets", dir.path(), "--out", video}, dir.path());
    ASSERT_EQ(capture.exitStatus(360s), 0) << capture.errors();
    EXPECT_EQ(capture.output(), "");
    EXPECT_EQ(capture.processesLeftBehind(), std::vector<std::string>{});
    EXPECT_EQ(directoryEntries(outDir.path()), std::vector<std::string>{"entry.mp4"});

    videoprobe::expectPartyFormat(video, 192000);
    auto streams = videoprobe::streams(video);
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_NEAR(streams[1].duration, streams[0].duration, 0.03);
    expectFramesShowTheirTimes(video, 30);
    for (std::int16_t sample : videoprobe::audio(video, 8000)) {
        ASSERT_EQ(sample, 0) << "the padded silence is not silent";
    }
}

TEST(CaptureVideo, StoppedByASignalLeavesNoProcessAndNoFile) {
    TempDir dir;
    writeAssets(dir);
    TempDir outDir;
    CaptureRun capture({"--fps", "4", "--assets", dir.path(), "--out", outDir.file("cut.mp4")},
                       dir.path());
    ASSERT_TRUE(waitUntil(
        [&] { return capture.errors().find("capture: frame ") != std::string::npos; }, 60s))
        << "no frame captured within 60 s: " << capture.errors();
    capture.process().kill(SIGTERM);
    EXPECT_NE(capture.exitStatus(20s), 0);
    EXPECT_EQ(capture.processesLeftBehind(), std::vector<std::string>{});
    EXPECT_EQ(directoryEntries(outDir.path()), std::vector<std::string>{});
}

// An encoder that gives up after a few frames, as ffmpeg does on a full disk.
TEST(CaptureVideo, EncoderFailureEndsTheRunWithoutAVideo) {
    TempDir dir;
    writeAssets(dir);
    dir.write("failing-ffmpeg", "#!/bin/sh\nhead -c 20000000 >/dev/null\nexit 1\n");
    fs::permissions(dir.file("failing-ffmpeg"), fs::perms::owner_exec, fs::perm_options::add);
    TempDir outDir;
    CaptureRun capture({"--fps", "4", "--assets", dir.path(), "--out", outDir.file("x.mp4")},
                       dir.path(), {{"VELLOMIRKE_CAPTURE_FFMPEG", dir.file("failing-ffmpeg")}});
    EXPECT_NE(capture.exitStatus(120s), 0);
    EXPECT_NE(capture.errors().find("ffmpeg stopped taking frames"), std::string::npos)
        << capture.errors();
    EXPECT_NE(capture.errors().find("no video written"), std::string::npos) << capture.errors();
    EXPECT_EQ(capture.output(), "");
    EXPECT_EQ(capture.processesLeftBehind(), std::vector<std::string>{});
    EXPECT_EQ(directoryEntries(outDir.path()), std::vector<std::string>{});
}

TEST(CaptureInput, MissingShadersShowTheDemosMessagesAndFail) {
    TempDir dir;
    TempDir outDir;
    CaptureRun capture({"--fps", "4", "--assets", dir.path(), "--out", outDir.file("x.mp4")},
                       dir.path());
    EXPECT_NE(capture.exitStatus(60s), 0);
    EXPECT_NE(capture.output().find("ERROR SHADER reading a file failed\n"), std::string::npos)
        << capture.output();
    EXPECT_NE(capture.errors().find("no video written"), std::string::npos) << capture.errors();
    EXPECT_EQ(capture.processesLeftBehind(), std::vector<std::string>{});
    EXPECT_EQ(directoryEntries(outDir.path()), std::vector<std::string>{});
}

TEST(CaptureInput, UnwritableOutputIsRefusedBeforeAnythingStarts) {
    TempDir dir;
    writeAssets(dir);
    dir.write("plain-file", "");
    fs::create_directory(dir.file("a-directory"));
    for (const std::string& out :
         {dir.file("no-such-directory/demo.mp4"), dir.file("plain-file/demo.mp4"),
          dir.file("a-directory"), dir.file("a-directory/")}) {
        CaptureRun capture({"--out", out, "--assets", dir.path()}, dir.path());
        EXPECT_NE(capture.exitStatus(20s), 0) << out;
        EXPECT_NE(capture.errors().find("cannot write " + out), std::string::npos)
            << out << ": " << capture.errors();
        EXPECT_EQ(capture.errors().find("rendering"), std::string::npos)
            << out << ": the capture started";
        EXPECT_EQ(capture.processesLeftBehind(), std::vector<std::string>{}) << out;
    }
    EXPECT_FALSE(fs::exists(dir.file("no-such-directory")));
    EXPECT_EQ(directoryEntries(dir.file("a-directory")), std::vector<std::string>{});
}

TEST(CaptureInput, FrameRateAndAudioBitRateOutOfRangeAreRefused) {
    TempDir dir;
    writeAssets(dir);
    const std::vector<std::pair<std::string, std::vector<std::string>>> refused = {
        {"--fps must be a whole number from 1 to 240",
         {"0", "241", "1000", "-5", "2.5", "sixty", ""}},
        {"--audio-bitrate must be a whole number of kbit/s from 32 to 512",
         {"31", "513", "192000", "128kb", "1e2", ""}}};
    for (const auto& [message, values] : refused) {
        const std::string option = message.substr(0, message.find(' '));
        for (const std::string& value : values) {
            CaptureRun capture({option, value, "--assets", dir.path()}, dir.path());
            EXPECT_NE(capture.exitStatus(20s), 0) << option << " " << value;
            EXPECT_NE(capture.errors().find(message), std::string::npos)
                << option << " '" << value << "': " << capture.errors();
        }
    }
    // A party video is 30 frames a second with sound of 128 kbit/s or more.
    for (const auto& [arguments, message] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--party", "--fps", "60"}, "--party records at 30 frames per second, not '60'"},
             {{"--audio-bitrate", "96", "--party"},
              "--party keeps the sound at 128 kbit/s or more"}}) {
        std::vector<std::string> all = arguments;
        all.insert(all.end(), {"--assets", dir.path()});
        CaptureRun capture(all, dir.path());
        EXPECT_NE(capture.exitStatus(20s), 0) << message;
        EXPECT_NE(capture.errors().find(message), std::string::npos) << capture.errors();
    }
    EXPECT_FALSE(fs::exists(dir.file("demo.mp4")));
}

TEST(CaptureInput, MissingFfmpegIsNamed) {
    TempDir dir;
    writeAssets(dir);
    TempDir emptyPath;
    CaptureRun capture({"--assets", dir.path()}, dir.path(), {{"PATH", emptyPath.path()}},
                       /*throughBash=*/true);
    EXPECT_NE(capture.exitStatus(20s), 0);
    EXPECT_NE(capture.errors().find("ffmpeg is not installed"), std::string::npos)
        << capture.errors();
    EXPECT_FALSE(fs::exists(dir.file("demo.mp4")));
}
