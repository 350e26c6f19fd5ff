// Without a playable audio.mp3 or without anywhere to play it, the demo runs
// as usual, only silently: the window comes up without delay, the picture
// moves, standard output stays empty and a close request ends it with 0.
// Of a damaged file, what can be decoded is played, looping. What is heard
// comes from SDL's disk driver, which records the mixed output in real time.
#include "AudioTestSupport.h"
#include "RandomBytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace testsupport;
using namespace audiotest;

namespace {

// No sound server and no sound card, whatever this machine has: the client
// libraries look for their servers under this directory only, and ALSA gets a
// configuration that defines no device.
void nothingToPlayOn(DemoRun& run) {
    const TempDir& dir = run.dir();
    std::filesystem::create_directories(dir.file("runtime"));
    std::filesystem::permissions(dir.file("runtime"), std::filesystem::perms::owner_all);
    dir.write("asound.conf", "");
    Environment& environment = run.environment();
    environment["SDL_AUDIODRIVER"] = std::nullopt;
    environment["AUDIODEV"] = std::nullopt;
    environment["XDG_RUNTIME_DIR"] = dir.file("runtime");
    environment["HOME"] = dir.path();
    environment["PULSE_SERVER"] = "unix:" + dir.file("no-server");
    environment["ALSA_CONFIG_PATH"] = dir.file("asound.conf");
}

// Starts the run on the probe shader, which paints red and green from the
// position on screen and blue from the clock, and checks that the picture
// shows the first and changes with the second. A demo that waited for a
// device that will not come would never show its first frame.
void expectPictureRunsAsUsual(DemoRun& run) {
    run.useShaders("probe.frag");
    run.startAndShow();
    Image before = run.picture();
    ASSERT_EQ(before.width, 1920);
    ASSERT_EQ(before.height, 1080);
    // (480, 270) from the top left is (0.25, 0.75) of the window from the
    // bottom left, where GL counts from.
    const int blue = before.at(480, 270).b;
    Rgb pixel =
        run.waitForPicture([&](const Image& i) { return i.at(480, 270).b != blue; }).at(480, 270);
    EXPECT_NEAR(pixel.r, 64, 3);
    EXPECT_NEAR(pixel.g, 191, 3);
    EXPECT_NE(blue, pixel.b) << "the picture stands still";
}

void expectEndAsUsual(DemoRun& run) {
    EXPECT_EQ(run.close(), 0);
    EXPECT_EQ(run.output(), "") << "the soundtrack never prints to standard output";
    // libasound would print a screenful of errors for a missing card.
    EXPECT_EQ(run.errors().find("ALSA lib"), std::string::npos) << run.errors();
}

struct BadSoundtrack {
    const char* name;
    std::function<void(DemoRun&)> prepare; // audio.mp3 and the environment
    // The test track's tones heard, looping; empty: silence; none: there is
    // no device to record (and the file is the playable test track).
    std::optional<std::set<double>> heard;
};

void PrintTo(const BadSoundtrack& c, std::ostream* out) {
    *out << c.name;
}

std::string nameOf(const ::testing::TestParamInfo<BadSoundtrack>& info) {
    return info.param.name;
}

void writeTrack(DemoRun& run) {
    writeTwoToneTrack(run.dir(), "audio.mp3");
}

void writeCutTrack(DemoRun& run, std::size_t length) {
    writeTwoToneTrack(run.dir(), "whole.mp3");
    const std::string whole = readFile(run.dir().file("whole.mp3"));
    run.dir().write("audio.mp3", whole.substr(0, length ? length : whole.size() / 2 + 123));
}

class Soundtrack : public ::testing::TestWithParam<BadSoundtrack> {};

} // namespace

TEST_P(Soundtrack, DemoRunsAsUsualAndPlaysOnlyWhatIsPlayable) {
    const auto& expected = GetParam().heard;
    DemoRun run;
    const std::string capture = expected ? useDiskDriver(run) : "";
    if (!expected) {
        writeTrack(run);
    }
    GetParam().prepare(run);
    expectPictureRunsAsUsual(run);
    if (expected) {
        // Three seconds from the first frame on: more than the track lasts,
        // so at the end it must have started again.
        const std::size_t enough = frameCount(capture) + 3 * deviceRate;
        EXPECT_TRUE(waitUntil([&] { return frameCount(capture) >= enough; }, 60s))
            << "the audio device did not run; " << run.errors();
    }
    expectEndAsUsual(run);
    if (!expected) {
        return;
    }
    const auto samples = readStereoAsMono(capture);
    const auto onset = firstAudibleFrame(samples);
    if (expected->empty()) {
        EXPECT_FALSE(onset) << "sound at " << double(onset.value_or(0)) / deviceRate << " s";
        return;
    }
    ASSERT_TRUE(onset) << "nothing was heard";
    // The tones heard for a noticeable time, and sound in the last half second.
    const auto spans = spansOfTones({samples.begin() + static_cast<long>(*onset), samples.end()});
    std::set<double> tones;
    for (const ToneSpan& span : spans) {
        if (span.frequency > 0) {
            tones.insert(span.frequency);
        }
    }
    EXPECT_EQ(tones, *expected) << describe(spans);
    const std::vector<float> end(samples.end() - deviceRate / 2, samples.end());
    EXPECT_TRUE(firstAudibleFrame(end)) << "the track did not start again: " << describe(spans);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Soundtrack,
    ::testing::Values(
        // The control: a playable track is heard, so silence below means
        // something.
        BadSoundtrack{"PlayableMp3", writeTrack, std::set<double>{lowTone, highTone}},
        BadSoundtrack{"MissingFile", [](DemoRun&) {}, std::set<double>{}},
        BadSoundtrack{"EmptyFile", [](DemoRun& r) { r.dir().write("audio.mp3", ""); },
                      std::set<double>{}},
        BadSoundtrack{"FileCutInsideItsFirstFrame", [](DemoRun& r) { writeCutTrack(r, 200); },
                      std::set<double>{}},
        // Cut in the middle of an MP3 frame of the high tone: the low tone
        // that is left plays, looping.
        BadSoundtrack{"FileCutHalfwayPlaysWhatIsLeft", [](DemoRun& r) { writeCutTrack(r, 0); },
                      std::set<double>{lowTone}},
        BadSoundtrack{"RandomBytes",
                      [](DemoRun& r) { r.dir().write("audio.mp3", randomBytes(200000, 30)); },
                      std::set<double>{}},
        // A WAV file under the MP3 name: the decoder follows the content, so
        // it plays as the Windows media player would play it.
        BadSoundtrack{"WavNamedMp3",
                      [](DemoRun& r) {
                          writeTwoToneTrack(r.dir(), "track.wav");
                          std::filesystem::rename(r.dir().file("track.wav"),
                                                  r.dir().file("audio.mp3"));
                      },
                      std::set<double>{lowTone, highTone}}),
    nameOf);

INSTANTIATE_TEST_SUITE_P(
    Devices, Soundtrack,
    ::testing::Values(BadSoundtrack{"UnusableAudioDriver",
                                    [](DemoRun& r) {
                                        r.environment()["SDL_AUDIODRIVER"] = "no-such-driver";
                                    },
                                    std::nullopt},
                      BadSoundtrack{"NoSoundServerAndNoSoundCard", nothingToPlayOn, std::nullopt},
                      // ALSA with a card that does not exist: the device cannot be opened,
                      // as on a machine without sound hardware.
                      BadSoundtrack{"AlsaCardThatDoesNotExist",
                                    [](DemoRun& r) {
                                        r.environment()["SDL_AUDIODRIVER"] = "alsa";
                                        r.environment()["AUDIODEV"] = "hw:99,0";
                                    },
                                    std::nullopt}),
    nameOf);

TEST(SoundtrackFailure, SoundServerThatNeverAnswers) {
    DemoRun run;
    writeTrack(run);
    nothingToPlayOn(run);
    PulseServer hungServer(run.dir());
    hungServer.hang();
    run.environment()["SDL_AUDIODRIVER"] = "pulseaudio";
    run.environment()["PULSE_SERVER"] = hungServer.clientEnvironment().at("PULSE_SERVER");
    expectPictureRunsAsUsual(run);
    expectEndAsUsual(run);
}

// The program does not link SDL: it starts without it, and when the opening
// thread cannot load it either, the demo runs on silently.
TEST(SoundtrackFailure, SoundLibrariesMissing) {
    DemoRun run;
    writeTrack(run);
    const std::string refused = run.dir().file("refused.txt");
    run.environment()["LD_PRELOAD"] = REFUSE_SOUND_LIBRARIES_SHIM;
    run.environment()["VELLOMIRKE_SHIM_LOG"] = refused;
    expectPictureRunsAsUsual(run);
    ASSERT_TRUE(waitUntil([&] { return !readFile(refused).empty(); }))
        << "the demo never asked for SDL";
    EXPECT_EQ(readFile(refused).rfind("libSDL2-2.0.so.0\n", 0), 0u) << readFile(refused);
    const std::string maps = readFile("/proc/" + std::to_string(run.process().pid()) + "/maps");
    EXPECT_EQ(maps.find("libSDL2"), std::string::npos) << "SDL was loaded all the same";
    expectEndAsUsual(run);
}
