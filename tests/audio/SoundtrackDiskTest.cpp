// What the soundtrack sounds like, heard through SDL's disk driver: the
// driver writes the mixed output to a file at about the pace of playback, so
// the file is a recording of what a listener would have heard, sample for
// sample.
#include "AudioTestSupport.h"
#include "DemoContract.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>

using namespace testsupport;
using namespace audiotest;

namespace {

constexpr std::size_t framesOf(double seconds) {
    return static_cast<std::size_t>(seconds * deviceRate);
}

// A named pipe in place of one of the demo's input files. The demo's read of
// it waits until the test releases it with the real content, which holds the
// demo at that point of its start-up for as long as the test likes.
class HeldBackFile {
  public:
    explicit HeldBackFile(const std::string& path) : path_(path) {
        if (mkfifo(path.c_str(), 0600) != 0) {
            throw std::runtime_error("mkfifo failed for " + path);
        }
    }

    // True once the demo has opened the file; its read is blocked from then on.
    bool opened() {
        if (!writer_) {
            const int fd = open(path_.c_str(), O_WRONLY | O_NONBLOCK);
            writer_.reset(fd < 0 ? nullptr : fdopen(fd, "w"));
        }
        return writer_ != nullptr;
    }

    // Hands over the content and the end of the file.
    void release(const std::string& content) {
        const bool written =
            std::fwrite(content.data(), 1, content.size(), writer_.get()) == content.size() &&
            std::fflush(writer_.get()) == 0;
        writer_.reset();
        if (!written) {
            throw std::runtime_error("could not hand the content to the demo");
        }
    }

  private:
    std::string path_;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> writer_{nullptr, std::fclose};
};

} // namespace

TEST(SoundtrackHeard, PlaysTheTrackFromItsStartInOrderAndStartsAgainWhenItEnds) {
    DemoRun run;
    const std::string capture = playTestTrack(run);
    run.startAndShow();

    // Two whole loops from the first sound on, and the start of a third. The
    // disk driver writes at its own pace, so this waits on the recording, not
    // on the clock.
    const double twoLoopsAndABit = 4 * toneSeconds + 0.5;
    const std::vector<float> heard = waitForSoundLasting(capture, twoLoopsAndABit);
    EXPECT_EQ(run.close(), 0);
    ASSERT_GE(heard.size(), framesOf(twoLoopsAndABit))
        << "recorded " << frameCount(capture) << " frames, " << heard.size()
        << " after the first sound";
    EXPECT_EQ(run.output(), "");

    // From the first sound on: low, high, low, high, low - the track from its
    // start, and twice from its start again. Each whole tone lasts as long as
    // it does in the file; a start part-way into the track or a skip at the
    // wrap would shorten one, a stall would show as silence between them.
    const auto spans = spansOfTones(heard);
    const std::string what = describe(spans);
    ASSERT_GE(spans.size(), 5u) << what;
    const double expected[] = {lowTone, highTone, lowTone, highTone, lowTone};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(spans[i].frequency, expected[i]) << "span " << i << " of: " << what;
    }
    EXPECT_LT(spans[0].start, framesOf(0.05)) << what;
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(static_cast<double>(spans[i].length) / deviceRate, toneSeconds, 0.1)
            << "span " << i << " of: " << what;
    }
}

// What can be measured from outside: the disk driver writes the mixer's output
// from the moment the device is opened, at the start of the demo, so the
// recording is a timeline of the whole start-up. The test cannot see exactly
// when the demo passes each step, but it can hold the demo at one: the vertex
// shader file is a named pipe, so the shader build blocks on reading it with
// the window already on screen. Everything the driver has written by the time
// the test lets the build go on was mixed while the demo was still setting up,
// so it must all be silence - however slow the machine - and the sound must
// come after it.
TEST(SoundtrackHeard, NothingIsHeardWhileTheWindowAndTheShaderAreSetUp) {
    DemoRun run;
    run.dir().copyTestFile("probe.frag", "fragment.glsl");
    HeldBackFile vertexShader(run.dir().file("vertex.glsl"));
    writeTwoToneTrack(run.dir(), "audio.mp3");
    const std::string capture = useDiskDriver(run);
    run.start();

    ASSERT_TRUE(waitUntil([&] { return vertexShader.opened() || !run.process().running(); }));
    ASSERT_TRUE(vertexShader.opened()) << "the demo ended before building its shader";
    EXPECT_TRUE(run.x().findWindow(demo::title))
        << "the window should be on screen while the shader is built";
    // Let the device write a good half second more while the demo waits.
    const std::size_t atShaderBuild = frameCount(capture);
    ASSERT_TRUE(waitUntil([&] { return frameCount(capture) >= atShaderBuild + framesOf(0.5); }))
        << "the audio device is not writing";
    const std::size_t duringSetUp = frameCount(capture);
    vertexShader.release(readFile(testDataPath("vertex.glsl")));

    const auto onset = waitForSound(capture);
    run.waitForFirstFrame();
    EXPECT_EQ(run.close(), 0);
    EXPECT_EQ(run.output(), "");

    ASSERT_TRUE(onset) << "no sound once the demo was running";
    EXPECT_GE(*onset, duringSetUp) << "sound at " << double(*onset) / deviceRate
                                   << " s, but the demo was setting up until at least "
                                   << double(duringSetUp) / deviceRate << " s";
}

// SDL, loaded by the soundtrack's thread while the demo starts, must not take
// over SIGINT: Ctrl-C in a terminal still ends the demo while it plays.
TEST(SoundtrackHeard, InterruptEndsTheDemoWhileTheTrackPlays) {
    DemoRun run;
    const std::string capture = playTestTrack(run);
    run.startAndShow();
    ASSERT_TRUE(waitForSound(capture)) << "the track never played";
    run.process().kill(SIGINT);
    EXPECT_EQ(run.waitForExit(), 128 + SIGINT) << "the demo ignored SIGINT";
}
