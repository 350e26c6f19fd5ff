// Bad soundtracks and no sound device: the demo runs its picture as always,
// prints nothing, and ends normally; what is heard is captured through SDL's
// disk audio driver, which writes the mixed output to a file in real time.
#include "FaultSupport.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <ostream>
#include <random>
#include <thread>

using namespace faults;
using namespace testsupport;

namespace {

// A two-second 440 Hz tone, made with sox (which the sample soundtrack needs
// anyway) so that no binary file has to live in the repository.
void makeTone(const TempDir& dir, const std::string& name) {
    ProcessOptions sox;
    sox.argv = {"sox", "-n",           "-r",    "48000", "-c",   "2",  "-b",
                "16",  dir.file(name), "synth", "2",     "sine", "440"};
    ChildProcess process(sox);
    auto status = process.waitForExit(20s);
    if (!status || *status != 0) {
        throw std::runtime_error("sox could not make " + name);
    }
}

std::vector<std::int16_t> samples(const std::string& bytes) {
    std::vector<std::int16_t> values(bytes.size() / 2);
    std::memcpy(values.data(), bytes.data(), values.size() * 2);
    return values;
}

struct Heard {
    bool deviceRan = false;
    bool anything = false;
    bool inTheLastHalfSecond = false;
};

Heard listen(const std::string& path) {
    auto values = samples(readFile(path));
    Heard heard;
    heard.deviceRan = values.size() > 48000; // more than half a second of stereo
    const size_t lastHalfSecond = 48000;     // 0.5 s x 48 kHz x 2 channels
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i] != 0) {
            heard.anything = true;
            heard.inTheLastHalfSecond |= i + lastHalfSecond >= values.size();
        }
    }
    return heard;
}

struct DemoRun {
    int status = -1;
    std::string output;
    std::string errors;
};

// Runs the demo for `playFor` after its window appears, then closes it.
DemoRun runDemo(const TempDir& dir, std::map<std::string, std::optional<std::string>> environment,
                std::chrono::milliseconds playFor = 2500ms) {
    XvfbServer server;
    dir.copyTestFile("vertex.glsl", "vertex.glsl");
    dir.copyTestFile("probe.frag", "fragment.glsl");
    DemoProcess demo(server.display(), dir, environment);
    XClient x(server.display());
    XWindow window = demo.waitForWindow(x);
    std::this_thread::sleep_for(playFor);
    EXPECT_TRUE(demo.process().running()) << "the demo ended by itself: " << demo.errors();
    x.sendCloseRequest(window);
    auto status = demo.waitForExit(10s);
    DemoRun run;
    run.status = status ? *status : -1;
    run.output = demo.output();
    run.errors = demo.errors();
    return run;
}

std::map<std::string, std::optional<std::string>> diskAudio(const TempDir& dir) {
    return {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", dir.file("heard.raw")}};
}

struct SoundtrackCase {
    const char* name;
    std::function<void(const TempDir&)> makeSoundtrack;
    bool audible;
};

// For test names and failure messages.
void PrintTo(const SoundtrackCase& c, std::ostream* out) {
    *out << c.name;
}

class Soundtrack : public ::testing::TestWithParam<SoundtrackCase> {};

} // namespace

TEST_P(Soundtrack, RunsTheDemoAndIsHeardOnlyWhenPlayable) {
    TempDir dir;
    GetParam().makeSoundtrack(dir);
    DemoRun run = runDemo(dir, diskAudio(dir));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "") << "the soundtrack never prints to standard output";
    Heard heard = listen(dir.file("heard.raw"));
    ASSERT_TRUE(heard.deviceRan) << "the audio device did not run; stderr: " << run.errors;
    EXPECT_EQ(heard.anything, GetParam().audible);
    if (GetParam().audible) {
        // Two seconds of track or less, and still sounding at the end of a
        // longer run: it started again from its beginning.
        EXPECT_TRUE(heard.inTheLastHalfSecond);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Soundtrack,
    ::testing::Values(
        // The control: a playable track is heard, so silence below means
        // something.
        SoundtrackCase{"PlayableMp3", [](const TempDir& d) { makeTone(d, "audio.mp3"); }, true},
        SoundtrackCase{"Missing", [](const TempDir&) {}, false},
        SoundtrackCase{"Empty", [](const TempDir& d) { d.write("audio.mp3", ""); }, false},
        // Cut in the middle of an MP3 frame: what decodes is played, looped.
        SoundtrackCase{"Truncated",
                       [](const TempDir& d) {
                           makeTone(d, "tone.mp3");
                           std::string whole = readFile(d.file("tone.mp3"));
                           d.write("audio.mp3", whole.substr(0, whole.size() / 2 + 7));
                       },
                       true},
        SoundtrackCase{"RandomBytes",
                       [](const TempDir& d) {
                           std::mt19937 bytes(30);
                           std::string noise(200000, '\0');
                           for (char& c : noise) {
                               c = static_cast<char>(bytes() & 0xff);
                           }
                           d.write("audio.mp3", noise);
                       },
                       false},
        // A WAV file under the MP3 name: the decoder follows the content,
        // so it plays as the Windows media player would play it.
        SoundtrackCase{"WavNamedMp3",
                       [](const TempDir& d) {
                           makeTone(d, "tone.wav");
                           std::filesystem::rename(d.file("tone.wav"), d.file("audio.mp3"));
                       },
                       true}),
    [](const ::testing::TestParamInfo<SoundtrackCase>& info) { return info.param.name; });

TEST(SoundDevice, NoneAvailableLeavesTheDemoSilentAndQuiet) {
    // ALSA with a card that does not exist: the device cannot be opened, as
    // on a machine without sound hardware.
    TempDir dir;
    makeTone(dir, "audio.mp3");
    DemoRun run = runDemo(dir, {{"SDL_AUDIODRIVER", "alsa"}, {"AUDIODEV", "hw:99,0"}}, 1000ms);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors.find("ALSA lib"), std::string::npos)
        << "libasound's complaints reach the terminal:\n"
        << run.errors;
}
